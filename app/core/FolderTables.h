#pragma once

#include <string>
#include <vector>

namespace tabulix::app {

// One table file of a folder and the target table it goes into.
struct FolderTable {
  std::string path;   // the file's full path
  std::string file;   // its name with extension, as in the folder
  std::string table;  // the target table: the file's base name
  // Why the file cannot be imported before anything is tried; empty when it can.
  std::string problem;
};

// Every Paradox (*.db) and dBase (*.dbf) table of the folder, letter case of the extension
// ignored, sorted by file name; subfolders and other files (indexes, memo and blob files) are
// not looked at. Two files whose base names differ only in letter case (ORDERS.DB and
// orders.dbf) would go into the same table on a server that ignores the case of table names,
// the second one replacing the first: every one after the first gets a problem instead.
// Raises tabulix::Exception when the folder cannot be read.
std::vector<FolderTable> ListFolderTables(const std::string& folder);

}  // namespace tabulix::app
