#include "source/paradox/ParadoxReader.h"

#include "source/paradox/ParadoxTable.h"

namespace tabulix::source {

std::unique_ptr<TableReader> OpenParadoxTable(const std::string& path,
                                              const ReaderOptions& options) {
  return std::make_unique<paradox::ParadoxTable>(path, options);
}

}  // namespace tabulix::source
