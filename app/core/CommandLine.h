#pragma once

#include <string>
#include <vector>

#include "app/core/TableDump.h"

namespace tabulix::app {

inline constexpr const char* kUsage =
    "usage: tabulix-cli inspect [--encoding NAME] FILE\n"
    "       tabulix-cli dump [--format json|csv] [--encoding NAME] FILE\n";

// What the command line asks for.
struct CommandLine {
  enum class Command { Help, Inspect, Dump };
  Command command = Command::Help;
  std::string file;
  std::string encoding;  // iconv name overriding the table's code page; empty: the table's
  DumpFormat format = DumpFormat::JsonLines;
};

// Reads the arguments after the program name; raises tabulix::Exception with the usage text
// when they do not make a command.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace tabulix::app
