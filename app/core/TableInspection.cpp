#include "app/core/TableInspection.h"

#include <string>

#include "app/core/FieldGrid.h"
#include "app/core/ValueWarningLines.h"
#include "source/TableBDE.h"

namespace tabulix::app {

void WriteInspection(source::TTableBDE& table, OutputBuffer& out) {
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
  text.append("Code page: " + table.Encoding() + " (" +
              std::string(EncodingOriginName(table.EncodingSource())) + ")\n");
  out.Flush();
}

}  // namespace tabulix::app
