#pragma once

#include <string>

#include "framework/FieldValue.h"
#include "framework/SharedEnums.h"
#include "sql/SqlFields.h"
#include "sql/SqlIndices.h"
#include "sql/SqlParserOptions.h"
#include "sql/SqlParserParams.h"

namespace tabulix {

// What the SELECT analyser needs of the dataset that owns it.
class TSqlParserOwner {
 public:
  virtual ~TSqlParserOwner() = default;

  virtual ServerKind DatabaseType() const = 0;
  virtual TZDatasetOptions Options() const = 0;
  virtual bool ReadOnly() const = 0;
  // The dataset's filter settings.
  virtual bool Filtered() const = 0;
  virtual std::string Filter() const = 0;

  // Appends one description per column of the table, alias empty.
  virtual void LoadColumnDescriptions(const std::string& tableName, TSqlFields& fields) = 0;
  virtual void LoadIndexDescriptions(const std::string& tableName, TSqlFields& fields,
                                     TSqlIndices& indices) = 0;
  virtual bool HasRowId(const std::string& tableName) = 0;
  // The SQL literal of a parameter value of any kind.
  virtual std::string ParamValueToLiteral(const FieldValue& value) = 0;

  virtual TParams& Params() = 0;
  // Reactions to a new statement: the dataset closes, drops its stored field definitions
  // (when they were made automatically) and empties its index definitions, marking them as
  // not up to date.
  virtual void CloseDataset() = 0;
  virtual void DropFieldDefs() = 0;
  virtual void InvalidateIndexDefs() = 0;
};

}  // namespace tabulix
