#include "app/core/TableInspection.h"

#include <string>

#include "app/core/FieldGrid.h"
#include "framework/TDataSet.h"

namespace tabulix::app {

void WriteInspection(TDataSet& table, OutputBuffer& out) {
  std::string& text = out.Text();
  auto appendRow = [&](const auto& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i > 0) text.push_back('\t');
      text.append(cells[i]);
    }
    text.push_back('\n');
  };
  appendRow(kFieldGridHeaders);
  for (const FieldGridRow& row : BuildFieldGrid(table)) appendRow(row);
  text.append("Records: " + std::to_string(table.RecordCount()) + "\n");
  text.append("Fields: " + std::to_string(table.FieldCount()) + "\n");
  out.Flush();
}

}  // namespace tabulix::app
