#pragma once

#include <cstddef>
#include <string>

#include "dataset/ZQuery.h"
#include "framework/StringList.h"
#include "framework/TComponent.h"

namespace tabulix {

// An update object: statements of the user's own that a dataset runs instead of those it
// builds, one list per kind of change. In the statements ":name" (or ":NEW_name") stands for
// the field's value after the change, ":OLD_name" for the value before it; each becomes the
// field's literal, or NULL. Inside a WHERE part, "= :p" with a null value becomes "IS NULL",
// so that the row is found. The result runs through the transaction's batch execution.
class TZUpdateSql : public TComponent {
 public:
  StringList& DeleteSql() { return deleteSql_; }
  StringList& InsertSql() { return insertSql_; }
  StringList& ModifySql() { return modifySql_; }
  // Set when the object is given to a dataset's UpdateObject.
  TZDataset* DataSet() const { return dataSet_; }
  void SetDataSet(TZDataset* dataSet) { dataSet_ = dataSet; }

  // The statements of the kind with every parameter filled from the records (old values in
  // oldRecord, new ones in newRecord). "Dataset component not defined" without dataset,
  // "Parameters can not be defined" for a name no field has.
  std::string BuildStatement(TUpdateKind kind, const std::byte* oldRecord,
                             const std::byte* newRecord);
  // Builds and runs them ("UpdateSql query is empty", "Transaction component not defined").
  void Apply(TUpdateKind kind, const std::byte* oldRecord, const std::byte* newRecord);

 private:
  StringList& ListOf(TUpdateKind kind);

  StringList deleteSql_;
  StringList insertSql_;
  StringList modifySql_;
  TZDataset* dataSet_ = nullptr;
};

}  // namespace tabulix
