#include "support/TestData.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tabulix::test {
namespace {

struct TempFolder {
  std::filesystem::path path;
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tabulix-test-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) path = made;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
};

}  // namespace

std::string RealDataDir() {
  if (const char* dir = std::getenv("TABULIX_TESTDATA")) return dir;
  return std::string(TABULIX_SHARED_DIR) + "/testdata/real";
}

std::string SourceDir() {
  return TABULIX_SOURCE_DIR;
}

std::string TempDir() {
  static TempFolder folder;
  return folder.path.string();
}

}  // namespace tabulix::test
