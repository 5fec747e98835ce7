#pragma once

#include <string>
#include <vector>

#include "app/core/TableDump.h"

namespace tabulix::app {

inline constexpr const char* kUsage =
    "usage: tabulix-cli inspect [--encoding NAME] [--binary FIELD]... [--without-memos] FILE\n"
    "       tabulix-cli dump [--format json|csv] [--encoding NAME] [--binary FIELD]...\n"
    "                        [--without-memos] [--strict] FILE\n"
    "  --encoding NAME   read the text in this code page, whatever the table says\n"
    "  --binary FIELD    read this character or memo field as raw bytes (a blob)\n"
    "  --without-memos   read a table whose memo file is missing, its memos as null\n"
    "  --strict          fail, writing nothing, when a value cannot be read as stored\n";

// What the command line asks for.
struct CommandLine {
  enum class Command { Help, Inspect, Dump };
  Command command = Command::Help;
  std::string file;
  std::string encoding;  // iconv name overriding the table's code page; empty: the table's
  std::vector<std::string> binaryFields;  // --binary, in the order given
  bool withoutMemos = false;
  bool strict = false;  // dump only
  DumpFormat format = DumpFormat::JsonLines;
};

// Reads the arguments after the program name; raises tabulix::Exception with the usage text
// when they do not make a command.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace tabulix::app
