#include "sql/SqlParserParams.h"

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"

namespace tabulix {
namespace {

[[noreturn]] void IndexError(int index) {
  throw EListError(FormatMessage("List Index Error at %d", {std::to_string(index)}));
}

}  // namespace

TParam& TParams::operator[](int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<std::size_t>(index)];
}

const TParam& TParams::operator[](int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<std::size_t>(index)];
}

TParam& TParams::Add(std::string name) {
  TParam& param = items_.emplace_back();
  param.Name = std::move(name);
  return param;
}

TParam* TParams::FindParam(std::string_view name) {
  for (TParam& param : items_) {
    if (EqualsIgnoreCase(param.Name, name)) return &param;
  }
  return nullptr;
}

const TParam* TParams::FindParam(std::string_view name) const {
  return const_cast<TParams*>(this)->FindParam(name);
}

void TParams::AssignValues(const TParams& source) {
  for (const TParam& from : source) {
    for (TParam& param : items_) {
      if (!EqualsIgnoreCase(param.Name, from.Name)) continue;
      param.Value = from.Value;
      param.DataType = from.DataType;
    }
  }
}

}  // namespace tabulix
