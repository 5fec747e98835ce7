#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/cli/ImportCommand.h"
#include "app/core/CommandLine.h"
#include "app/core/OutputBuffer.h"
#include "app/core/TableDump.h"
#include "app/core/TableInspection.h"
#include "source/TableBDE.h"

int main(int argc, char** argv) {
  using namespace tabulix;
  using namespace tabulix::app;
  try {
    CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    OutputBuffer out(stdout);
    if (line.command == CommandLine::Command::Help) {
      out.Append(kUsage);
      out.Flush();
      return 0;
    }
    if (line.command == CommandLine::Command::Import) return RunImport(line);
    source::TTableBDE table;
    table.SetTableName(line.file);
    table.SetReadOnly(true);
    table.SetReaderOptions({line.encoding});
    table.Open();
    if (line.command == CommandLine::Command::Inspect) {
      WriteInspection(table, out);
    } else {
      DumpTable(table, line.format, out);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::string message = e.what();
    if (message.empty() || message.back() != '\n') message.push_back('\n');
    std::fputs(message.c_str(), stderr);
    return 1;
  }
}
