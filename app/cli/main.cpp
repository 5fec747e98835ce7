#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/cli/ImportCommand.h"
#include "app/cli/ImportDirCommand.h"
#include "app/core/CommandLine.h"
#include "app/core/OutputBuffer.h"
#include "app/core/StrictCheck.h"
#include "app/core/TableDump.h"
#include "app/core/TableInspection.h"
#include "app/core/ValueWarningLines.h"
#include "source/TableBDE.h"

namespace {

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::fputs(line.c_str(), stderr);
    std::fputc('\n', stderr);
  }
}

}  // namespace

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
    if (line.command == CommandLine::Command::ImportDir) return RunImportDir(line);
    source::TTableBDE table;
    table.SetTableName(line.file);
    table.SetReadOnly(true);
    source::ReaderOptions options;
    options.encoding = line.encoding;
    options.binaryFields = line.binaryFields;
    options.withoutMemos = line.withoutMemos;
    table.SetReaderOptions(std::move(options));
    table.Open();
    if (line.command == CommandLine::Command::Inspect) {
      WriteInspection(table, out);
      return 0;
    }
    if (line.strict) {
      try {
        CheckValuesAsStored(table);
      } catch (const EValuesNotAsStored& e) {
        PrintLines(e.Lines());
        return 1;
      }
    }
    DumpTable(table, line.format, out);
    // After the records, so that they stand after anything a terminal shows of the dump.
    PrintLines(WarningLines(table));
    return 0;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::string message = e.what();
    if (message.empty() || message.back() != '\n') message.push_back('\n');
    std::fputs(message.c_str(), stderr);
    return 1;
  }
}
