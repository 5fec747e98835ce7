#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "dataset/ZQuery.h"
#include "mysql/TDirMySqlConnect.h"
#include "mysql/TDirMySqlQuery.h"
#include "mysql/TDirMySqlTransact.h"
#include "mysql/TZMySqlDatabase.h"
#include "mysql/TZMySqlTransact.h"

namespace tabulix {

enum TZMySqlOption : std::uint8_t { moStoreResult = 0, moUseGen = 1 };
using TZMySqlOptions = std::set<TZMySqlOption>;

// The MySQL dataset: columns and indexes from "SHOW COLUMNS FROM" and "SHOW INDEX FROM" on the
// transaction's own query, rows fetched from its own direct query. With moStoreResult (the
// default) the SELECT's whole result comes to the client when it opens, on the transaction's
// connection; without it the rows are streamed on a private connection and transaction of the
// dataset's own, so that the transaction's statements can run while rows are still unread.
//
// Column descriptions: a column is nullable when SHOW COLUMNS says YES, and decimal columns
// with a scale up to 4 and a precision up to 19 become exact BCD fields (TZBCDField) rather
// than doubles, so that money amounts of 15 and more digits arrive whole.
class TZCustomMySqlDataset : public TZDataset {
 public:
  TZCustomMySqlDataset();
  ~TZCustomMySqlDataset() override;

  TZMySqlDatabase* Database() const { return static_cast<TZMySqlDatabase*>(TZDataset::Database()); }
  void SetDatabase(TZMySqlDatabase* database) { TZDataset::SetDatabase(database); }
  TZMySqlTransact* Transaction() const {
    return static_cast<TZMySqlTransact*>(TZDataset::Transaction());
  }
  void SetTransaction(TZMySqlTransact* transaction) { TZDataset::SetTransaction(transaction); }
  const TZMySqlOptions& ExtraOptions() const { return extraOptions_; }
  void SetExtraOptions(TZMySqlOptions options);
  TDirMySqlQuery& Query() const { return static_cast<TDirMySqlQuery&>(TZDataset::Query()); }

  void LoadColumnDescriptions(const std::string& tableName, TSqlFields& fields) override;
  void LoadIndexDescriptions(const std::string& tableName, TSqlFields& fields,
                             TSqlIndices& indices) override;

 protected:
  void InitInsertedRecord(std::byte* record) override;
  void PrepareConnection() override;
  bool FetchRow() override;
  // Reads LAST_INSERT_ID() into the table's auto-increment field when an insert left it null.
  void AfterChangeApplied(const std::byte* change, std::byte* record) override;
  std::string QuoteFieldName(const std::string& name) override;
  // Also ends the private transaction and connection.
  void InternalClose() override;

 private:
  // The transaction's own query, which reads the catalogue; raises the failure of a request.
  TDirMySqlQuery& CatalogueQuery();
  static void CheckCatalogue(TDirMySqlQuery& query);
  void FillRecord(std::byte* record);

  TDirMySqlConnect privateConnect_;
  TDirMySqlTransact privateTransact_{&privateConnect_};
  TZMySqlOptions extraOptions_{moStoreResult};
};

// One MySQL table by name: the statement is "SELECT * FROM " and the name as given.
class TZMySqlTable : public TZCustomMySqlDataset {
 public:
  ~TZMySqlTable() override;

  const std::string& TableName() const { return tableName_; }
  // The same name (letter case counts) changes nothing; another closes the dataset first.
  void SetTableName(const std::string& name);

 private:
  std::string tableName_;
};

}  // namespace tabulix
