#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

// One index of a table: its columns in key order, whether it identifies rows, and its order.
struct TIndexDesc {
  static constexpr std::size_t kMaxNameLength = 64;  // characters, as the server allows
  static constexpr int kMaxColumns = 25;
  // Index kinds.
  static constexpr std::uint8_t kNonUnique = 1;
  static constexpr std::uint8_t kUnique = 2;
  static constexpr std::uint8_t kPrimary = 3;
  // Sort orders.
  static constexpr std::uint8_t kAscending = 1;
  static constexpr std::uint8_t kDescending = 2;

  std::string TableName{};             // at most 64 characters
  std::string IndexName{};             // at most 64
  std::vector<std::string> Columns{};  // at most 25 names of at most 64
  std::uint8_t KeyType = kNonUnique;
  std::uint8_t SortOrder = kAscending;

  int ColumnCount() const { return static_cast<int>(Columns.size()); }
};

// The index descriptions of a dataset's tables, in the order the server listed them.
class TSqlIndices {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  TIndexDesc& operator[](int index);  // EListError when out of range
  const TIndexDesc& operator[](int index) const;

  // Appends a copy, names cut to their maximum length and columns to 25.
  TIndexDesc& Add(TIndexDesc desc);
  // Merges one row of an index listing: the index of that name is taken (or appended), its
  // table, kind and order are set, and the columns named in columnText (several may be
  // separated by ";" or ",", each trimmed and unquoted) are appended; empty names are
  // skipped and columns beyond 25 ignored.
  TIndexDesc& AddColumn(std::string_view tableName, std::string_view indexName,
                        std::uint8_t keyType, std::uint8_t sortOrder, std::string_view columnText);
  // Position of the index of that name, ignoring letter case; -1 when absent.
  int FindByName(std::string_view indexName) const;

  void Clear() { items_.clear(); }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<TIndexDesc> items_;
};

}  // namespace tabulix
