#include "app/core/CommandLine.h"

#include <gtest/gtest.h>

#include "framework/Exceptions.h"

namespace tabulix::app {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLineTest, InspectWithEncoding) {
  CommandLine line = ParseCommandLine({"inspect", "--encoding", "cp1251", "/t/a.db"});
  EXPECT_EQ(line.command, CommandLine::Command::Inspect);
  EXPECT_EQ(line.file, "/t/a.db");
  EXPECT_EQ(line.encoding, "cp1251");
}

TEST(CommandLineTest, DumpFormatsAndOptionOrder) {
  CommandLine line = ParseCommandLine({"dump", "a.dbf"});
  EXPECT_EQ(line.format, DumpFormat::JsonLines);
  EXPECT_EQ(line.encoding, "");
  line = ParseCommandLine({"dump", "a.dbf", "--format", "csv", "--encoding=KOI8-R"});
  EXPECT_EQ(line.command, CommandLine::Command::Dump);
  EXPECT_EQ(line.format, DumpFormat::Csv);
  EXPECT_EQ(line.encoding, "KOI8-R");
  EXPECT_EQ(ParseCommandLine({"dump", "--format=json", "a.dbf"}).format, DumpFormat::JsonLines);
}

TEST(CommandLineTest, HelpNeedsNoFile) {
  EXPECT_EQ(ParseCommandLine({"--help"}).command, CommandLine::Command::Help);
}

TEST(CommandLineTest, RefusesWhatIsNotACommand) {
  const Args refused[] = {
      {},
      {"convert", "a.db"},
      {"dump"},
      {"dump", "a.db", "b.db"},
      {"dump", "--format", "xml", "a.db"},
      {"dump", "a.db", "--format"},
      {"inspect", "--format", "csv", "a.db"},
      {"dump", "--encoding=", "a.db"},
      {"dump", "--verbose", "a.db"},
  };
  for (const Args& args : refused) {
    SCOPED_TRACE(args.empty() ? "(nothing)" : args[0] + " ...");
    try {
      ParseCommandLine(args);
      ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find("usage: tabulix-cli"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace tabulix::app
