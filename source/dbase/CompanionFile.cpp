#include "source/dbase/CompanionFile.h"

#include <filesystem>
#include <system_error>

#include "framework/AsciiCase.h"

namespace tabulix::source::dbase {
namespace fs = std::filesystem;

namespace {

bool IsRegularFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

}  // namespace

std::string CompanionFileName(const std::string& tablePath, std::string_view extension) {
  return fs::path(tablePath).stem().string() + std::string(extension);
}

std::optional<std::string> FindCompanionFile(const std::string& tablePath,
                                             std::string_view extension) {
  fs::path table(tablePath);
  fs::path dir = table.parent_path();
  std::string stem = table.stem().string();
  // The usual spellings first; a directory scan only when neither exists.
  for (const std::string& name :
       {stem + LowerCase(extension), stem + UpperCase(extension),
        UpperCase(stem) + UpperCase(extension), LowerCase(stem) + LowerCase(extension)}) {
    fs::path candidate = dir / name;
    if (IsRegularFile(candidate)) return candidate.string();
  }
  std::string wanted = stem + std::string(extension);
  std::error_code ec;
  fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (EqualsIgnoreCase(name, wanted) && IsRegularFile(it->path())) return it->path().string();
  }
  return std::nullopt;
}

}  // namespace tabulix::source::dbase
