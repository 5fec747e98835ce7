#include "sql/SqlIndices.h"

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"
#include "sql/SqlFields.h"
#include "sql/SqlTokenText.h"

namespace tabulix {
namespace {

[[noreturn]] void IndexError(int index) {
  throw EListError(FormatMessage("List Index Error at %d", {std::to_string(index)}));
}

std::string_view Trim(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  std::size_t last = text.size();
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

}  // namespace

TIndexDesc& TSqlIndices::operator[](int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<std::size_t>(index)];
}

const TIndexDesc& TSqlIndices::operator[](int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<std::size_t>(index)];
}

TIndexDesc& TSqlIndices::Add(TIndexDesc desc) {
  desc.TableName = ShortString(desc.TableName, TIndexDesc::kMaxNameLength);
  desc.IndexName = ShortString(desc.IndexName, TIndexDesc::kMaxNameLength);
  if (desc.Columns.size() > TIndexDesc::kMaxColumns) desc.Columns.resize(TIndexDesc::kMaxColumns);
  for (auto& column : desc.Columns) column = ShortString(column, TIndexDesc::kMaxNameLength);
  items_.push_back(std::move(desc));
  return items_.back();
}

TIndexDesc& TSqlIndices::AddColumn(std::string_view tableName, std::string_view indexName,
                                   std::uint8_t keyType, std::uint8_t sortOrder,
                                   std::string_view columnText) {
  int found = FindByName(indexName);
  TIndexDesc& desc = found >= 0 ? items_[static_cast<std::size_t>(found)] : items_.emplace_back();
  desc.TableName = ShortString(tableName, TIndexDesc::kMaxNameLength);
  desc.IndexName = ShortString(indexName, TIndexDesc::kMaxNameLength);
  desc.KeyType = keyType;
  desc.SortOrder = sortOrder;
  while (!columnText.empty()) {
    std::size_t cut = columnText.find_first_of(";,");
    std::string_view piece = columnText.substr(0, cut);
    columnText = cut == std::string_view::npos ? std::string_view() : columnText.substr(cut + 1);
    std::string name = StripQuotes(Trim(piece));
    if (name.empty() || desc.ColumnCount() >= TIndexDesc::kMaxColumns) continue;
    desc.Columns.push_back(ShortString(name, TIndexDesc::kMaxNameLength));
  }
  return desc;
}

int TSqlIndices::FindByName(std::string_view indexName) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (EqualsIgnoreCase(items_[i].IndexName, indexName)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tabulix
