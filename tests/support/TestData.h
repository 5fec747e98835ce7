#pragma once

#include <string>

namespace tabulix::test {

// The folder of real sample tables with their expected values (shared/testdata/real).
std::string RealDataDir();
// The source tree's root.
std::string SourceDir();
// A fresh, empty temporary folder for files a test writes; removed at process exit.
std::string TempDir();

}  // namespace tabulix::test
