#include "source/TableReader.h"

#include <filesystem>

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "source/dbase/DbaseReader.h"
#include "source/paradox/ParadoxReader.h"

namespace tabulix::source {

std::unique_ptr<TableReader> OpenTableReader(const std::string& path,
                                             const ReaderOptions& options) {
  std::string ext = LowerCase(std::filesystem::path(path).extension().string());
  if (ext == ".db") return OpenParadoxTable(path, options);
  if (ext == ".dbf") return OpenDbaseTable(path, options);
  throw Exception(path + ": not a Paradox (.db) or dBase (.dbf) table file");
}

}  // namespace tabulix::source
