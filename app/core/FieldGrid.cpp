#include "app/core/FieldGrid.h"

#include "app/core/TypeTables.h"
#include "framework/TDataSet.h"

namespace tabulix::app {

std::vector<FieldGridRow> BuildFieldGrid(const TDataSet& table) {
  std::vector<FieldGridRow> rows(static_cast<std::size_t>(table.FieldCount()));
  for (int i = 0; i < table.FieldCount(); ++i) {
    const TField& field = table.Fields(i);
    FieldGridRow& row = rows[static_cast<std::size_t>(i)];
    row[0] = field.FieldName();
    row[1] = SourceTypeName(field.DataType());
    if (field.DataType() == ftString && field.Size() != 0) row[2] = std::to_string(field.Size());
    row[4] = KeyMark(field.DataType());
  }
  // The column type follows from the grid's own type name and length cells.
  for (FieldGridRow& row : rows) row[3] = MySqlTypeForTypeName(row[1], row[2]);
  return rows;
}

}  // namespace tabulix::app
