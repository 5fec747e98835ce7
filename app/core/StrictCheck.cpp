#include "app/core/StrictCheck.h"

#include "app/core/ValueWarningLines.h"
#include "source/TableBDE.h"

namespace tabulix::app {

void CheckValuesAsStored(source::TTableBDE& table) {
  table.CountWarnings();
  std::vector<std::string> lines = WarningLines(table);
  if (!lines.empty()) throw EValuesNotAsStored(std::move(lines));
}

}  // namespace tabulix::app
