#pragma once

#include <string>
#include <vector>

#include "app/core/TableDump.h"

namespace tabulix::app {

inline constexpr const char* kUsage =
    "usage: tabulix-cli inspect [--encoding NAME] [--binary FIELD]... [--without-memos] FILE\n"
    "       tabulix-cli dump [--format json|csv] [--encoding NAME] [--binary FIELD]...\n"
    "                        [--without-memos] [--strict] FILE\n"
    "       tabulix-cli import FILE --database DB [--table T] [--host H] [--port P]\n"
    "                   [--socket PATH] [--user U] [--password-file F] [--encoding NAME]\n"
    "                   [--binary FIELD]... [--without-memos] [--strict]\n"
    "  --encoding NAME   read the text in this code page, whatever the table says\n"
    "  --binary FIELD    read this character or memo field as raw bytes (a blob)\n"
    "  --without-memos   read a table whose memo file is missing, its memos as null\n"
    "  --strict          fail, writing nothing, when a value cannot be read as stored\n"
    "  import copies the table into a MySQL table, printing the log on standard output;\n"
    "  the password comes from --password-file, else TABULIX_PASSWORD, else the terminal.\n"
    "  Its exit status: 0 done, 1 failed (message on standard error), 2 login cancelled.\n";

// What the command line asks for.
struct CommandLine {
  enum class Command { Help, Inspect, Dump, Import };
  Command command = Command::Help;
  std::string file;
  std::string encoding;  // iconv name overriding the table's code page; empty: the table's
  std::vector<std::string> binaryFields;  // --binary, in the order given
  bool withoutMemos = false;
  bool strict = false;  // dump and import
  DumpFormat format = DumpFormat::JsonLines;
  // import: the target, with the window's defaults for host, port and user; the table name
  // defaults to the file's base name (without folder and extension).
  std::string database;
  std::string table;
  std::string host = "localhost";
  std::string port = "3306";
  std::string socket;
  std::string user = "root";
  std::string passwordFile;
};

// Reads the arguments after the program name; raises tabulix::Exception with the usage text
// when they do not make a command.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace tabulix::app
