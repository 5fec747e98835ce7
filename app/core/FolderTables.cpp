#include "app/core/FolderTables.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"

namespace tabulix::app {

std::vector<FolderTable> ListFolderTables(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  if (error) {
    throw Exception(FormatMessage("Cannot read the folder %s: %s", {folder, error.message()}));
  }
  std::vector<FolderTable> tables;
  for (const fs::directory_entry& entry : entries) {
    const fs::path& path = entry.path();
    const std::string extension = UpperCase(path.extension().string());
    if (extension != ".DB" && extension != ".DBF") continue;
    if (!entry.is_regular_file(error)) continue;
    tables.push_back({path.string(), path.filename().string(), path.stem().string(), {}});
  }
  std::sort(tables.begin(), tables.end(),
            [](const FolderTable& a, const FolderTable& b) { return a.file < b.file; });
  std::map<std::string, std::string> taken;  // upper-cased table name -> the file that has it
  for (FolderTable& table : tables) {
    const auto [it, fresh] = taken.emplace(UpperCase(table.table), table.file);
    if (!fresh) {
      table.problem = FormatMessage("The table name %s is taken by %s", {table.table, it->second});
    }
  }
  return tables;
}

}  // namespace tabulix::app
