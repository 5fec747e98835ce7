#pragma once

#include <memory>
#include <string>

#include "source/TableReader.h"

namespace tabulix::source {

// Opens a Paradox table (.db, blobs in the .mb beside it).
std::unique_ptr<TableReader> OpenParadoxTable(const std::string& path,
                                              const ReaderOptions& options);

}  // namespace tabulix::source
