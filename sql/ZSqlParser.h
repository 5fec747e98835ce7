#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/StringList.h"
#include "sql/SqlFields.h"
#include "sql/SqlIndices.h"
#include "sql/SqlParserIndexDef.h"
#include "sql/SqlParserOwner.h"
#include "sql/SqlParserParams.h"

namespace tabulix {

// The SELECT analyser of a table dataset. It holds the dataset's statement lines, prepares the
// text that is sent (filter, link condition and ordering inserted, parameters filled in) and
// analyses a SELECT: its tables and aliases, the field name each selected column gets, and the
// indexes that can be offered as index definitions. Column and index descriptions are read by
// the dataset; the analyser decides what to ask for and how to name the result.
class TSqlParser {
 public:
  explicit TSqlParser(TSqlParserOwner& dataset);
  TSqlParser(const TSqlParser&) = delete;
  TSqlParser& operator=(const TSqlParser&) = delete;

  TSqlParserOwner& Dataset() const { return dataset_; }
  // The statement lines; every change calls SqlChanged.
  StringList& Sql() { return sql_; }
  const StringList& Sql() const { return sql_; }
  // Parallel by position: table names and their aliases.
  const StringList& Tables() const { return tables_; }
  const StringList& Aliases() const { return aliases_; }
  TSqlFields& Fields() { return fields_; }
  const TSqlFields& Fields() const { return fields_; }
  TSqlIndices& Indices() { return indices_; }
  const TSqlIndices& Indices() const { return indices_; }

  bool IsSelect() const { return isSelect_; }
  const std::string& Text() const { return text_; }
  const std::string& LinkFilter() const { return linkFilter_; }
  void SetLinkFilter(std::string filter) { linkFilter_ = std::move(filter); }
  const std::string& OrderBy() const { return orderBy_; }
  void SetOrderBy(std::string order) { orderBy_ = std::move(order); }
  bool UsesRowId() const { return usesRowId_; }
  // The clause positions of the last preparation (see LocateSelectClauses).
  int ListPos() const { return listPos_; }
  int ConditionStart() const { return conditionStart_; }
  int WherePos() const { return wherePos_; }
  int OrderPos() const { return orderPos_; }

  // Prepares the text and returns it.
  const std::string& GetText();
  void SqlChanged();
  void PrepareText();
  // Fills every ":name" of Text with the parameter's value, rebuilding it token by token.
  void SubstituteParams();
  // The dataset's filter when it filters on the server; else empty.
  std::string SqlFilter() const;
  // Fills Tables, Aliases, Fields and Indices from the prepared text.
  void Analyse();
  void Reset();
  // Rebuilds index definitions over the field names of the analysed indexes.
  void GetIndexDefs(std::vector<TIndexDef>& indexDefs) const;
  // One parameter per ":name" of the text, in order of appearance.
  static void CreateParamsFromSql(TParams& params, std::string_view text);

  void SetFieldAlias(std::string tableRef, std::string_view fieldName, std::string alias);
  void AliasTableFields(const std::string& tableRef);
  // Folds unquoted names to lower case for the servers that do so.
  std::string NormalizeName(std::string_view name) const;

 private:
  std::string ResolveTable(const std::string& tableRef) const;
  void AnalyseSelectList(std::string fieldText);

  TSqlParserOwner& dataset_;
  StringList sql_;
  StringList tables_;
  StringList aliases_;
  TSqlFields fields_;
  TSqlIndices indices_;
  bool isSelect_ = false;
  std::string text_;
  std::string linkFilter_;
  int listPos_ = 0;
  int conditionStart_ = 0;
  int wherePos_ = 0;
  int orderPos_ = 0;
  std::string orderBy_;
  bool usesRowId_ = false;
};

}  // namespace tabulix
