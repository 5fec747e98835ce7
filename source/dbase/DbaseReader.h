#pragma once

#include <memory>
#include <string>

#include "source/TableReader.h"

namespace tabulix::source {

// Opens a dBase, FoxPro or Visual FoxPro table (.dbf, memos in the .dbt or .fpt beside it).
std::unique_ptr<TableReader> OpenDbaseTable(const std::string& path, const ReaderOptions& options);

}  // namespace tabulix::source
