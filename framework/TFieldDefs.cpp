#include "framework/TFieldDefs.h"

#include "framework/AsciiCase.h"
#include "framework/DataSetMessages.h"
#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"
#include "framework/NumberText.h"

namespace tabulix {

TFieldDef& TFieldDefs::Add(std::string name, TFieldType dataType, int size, bool required) {
  TFieldDef& def = defs_.emplace_back();
  def.Name = std::move(name);
  def.DataType = dataType;
  def.Size = size;
  def.Required = required;
  def.FieldNo = Count();
  return def;
}

const TFieldDef& TFieldDefs::operator[](int index) const {
  if (index < 0 || index >= Count()) {
    throw EListError(FormatMessage(messages::kListIndexError, {IntToStr(index)}));
  }
  return defs_[static_cast<std::size_t>(index)];
}

TFieldDef& TFieldDefs::operator[](int index) {
  return const_cast<TFieldDef&>(static_cast<const TFieldDefs&>(*this)[index]);
}

int TFieldDefs::IndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < defs_.size(); ++i) {
    if (EqualsIgnoreCase(defs_[i].Name, name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tabulix
