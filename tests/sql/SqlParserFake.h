#pragma once

#include <map>
#include <string>
#include <vector>

#include "sql/SqlParserOwner.h"
#include "sql/SqlText.h"

namespace tabulix::test {

// A dataset stand-in that describes tables from fixed column lists and index rows, and logs
// the catalogue requests the analyser makes.
class FakeParserOwner : public TSqlParserOwner {
 public:
  struct IndexRow {
    std::string table, index;
    std::uint8_t keyType, sortOrder;
    std::string column;
  };

  ServerKind DatabaseType() const override { return serverKind; }
  TZDatasetOptions Options() const override { return options; }
  bool ReadOnly() const override { return readOnly; }
  bool Filtered() const override { return filtered; }
  std::string Filter() const override { return filter; }

  void LoadColumnDescriptions(const std::string& table, TSqlFields& fields) override {
    requests.push_back("SHOW COLUMNS FROM " + table);
    for (const std::string& column : columns[table]) {
      fields.Add({.TableName = table, .FieldName = column});
    }
  }
  void LoadIndexDescriptions(const std::string& table, TSqlFields&, TSqlIndices& indices) override {
    requests.push_back("SHOW INDEX FROM " + table);
    for (const IndexRow& row : indexRows) {
      if (row.table == table) {
        indices.AddColumn(row.table, row.index, row.keyType, row.sortOrder, row.column);
      }
    }
  }
  bool HasRowId(const std::string& table) override {
    requests.push_back("ROWID " + table);
    return hasRowId;
  }
  std::string ParamValueToLiteral(const FieldValue& value) override {
    if (value.IsNullOrEmpty()) return "NULL";
    if (value.kind() == FieldValue::Kind::Bytes) return "'" + EscapeSqlString(value.AsText()) + "'";
    return value.AsText();
  }
  TParams& Params() override { return params; }
  void CloseDataset() override { ++closes; }
  void DropFieldDefs() override { ++fieldDefDrops; }
  void InvalidateIndexDefs() override { ++indexDefInvalidations; }

  ServerKind serverKind = skMySql;
  TZDatasetOptions options = kDefaultDatasetOptions;
  bool readOnly = false;
  bool filtered = false;
  std::string filter;
  bool hasRowId = true;
  std::map<std::string, std::vector<std::string>> columns;
  std::vector<IndexRow> indexRows;
  std::vector<std::string> requests;
  TParams params;
  int closes = 0;
  int fieldDefDrops = 0;
  int indexDefInvalidations = 0;
};

}  // namespace tabulix::test
