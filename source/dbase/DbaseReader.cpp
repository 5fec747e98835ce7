#include "source/dbase/DbaseReader.h"

#include "source/dbase/DbaseTable.h"

namespace tabulix::source {

std::unique_ptr<TableReader> OpenDbaseTable(const std::string& path, const ReaderOptions& options) {
  return std::make_unique<dbase::DbaseTable>(path, options);
}

}  // namespace tabulix::source
