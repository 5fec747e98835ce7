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

TEST(CommandLineTest, ImportTakesTheTargetWithTheWindowsDefaults) {
  CommandLine line = ParseCommandLine({"import", "/data/Kunden.DB", "--database", "shop"});
  EXPECT_EQ(line.command, CommandLine::Command::Import);
  EXPECT_EQ(line.file, "/data/Kunden.DB");
  EXPECT_EQ(line.database, "shop");
  EXPECT_EQ(line.table, "Kunden");
  EXPECT_EQ(line.host, "localhost");
  EXPECT_EQ(line.port, "3306");
  EXPECT_EQ(line.user, "root");
  EXPECT_EQ(line.socket, "");
  EXPECT_EQ(line.passwordFile, "");

  line = ParseCommandLine({"import", "--database=", "--table", "t 1", "--host", "db.example",
                           "--port=3307", "--socket", "/run/x.sock", "--user", "anna",
                           "--password-file", "/secret", "--encoding", "CP850", "a.b.dbf"});
  EXPECT_EQ(line.database, "");  // an empty name is the engine's to refuse
  EXPECT_EQ(line.table, "t 1");
  EXPECT_EQ(line.host, "db.example");
  EXPECT_EQ(line.port, "3307");
  EXPECT_EQ(line.socket, "/run/x.sock");
  EXPECT_EQ(line.user, "anna");
  EXPECT_EQ(line.passwordFile, "/secret");
  EXPECT_EQ(line.encoding, "CP850");
  // A point of the file's name stays in the table's name: not table b of database a.
  EXPECT_EQ(ParseCommandLine({"import", "a.b.dbf", "--database", "x"}).table, "`a.b`");
  EXPECT_EQ(ParseCommandLine({"import", "noext", "--database", "x"}).table, "noext");
  EXPECT_EQ(ParseCommandLine({"import", "/d/DECIMAL.DB", "--database", "x"}).table, "`DECIMAL`");
  EXPECT_EQ(ParseCommandLine({"import", "Alte Kunden.dbf", "--database", "x"}).table,
            "`Alte Kunden`");
}

TEST(CommandLineTest, ImportDirAndTheBulkOptions) {
  const CommandLine line =
      ParseCommandLine({"import-dir", "/data", "--database", "shop", "--jobs", "4", "--bulk",
                        "--report", "r.json", "--unit-rows", "1000", "--skip-unique-checks",
                        "--skip-foreign-key-checks", "--socket", "/run/x.sock"});
  EXPECT_EQ(line.command, CommandLine::Command::ImportDir);
  EXPECT_EQ(line.file, "/data");
  EXPECT_EQ(line.database, "shop");
  EXPECT_EQ(line.jobs, 4);
  EXPECT_TRUE(line.bulk);
  EXPECT_EQ(line.reportFile, "r.json");
  EXPECT_EQ(line.unitRows, 1000);
  EXPECT_TRUE(line.skipUniqueChecks && line.skipForeignKeyChecks);
  EXPECT_EQ(line.socket, "/run/x.sock");
  const CommandLine plain = ParseCommandLine({"import", "a.db", "--database", "x"});
  EXPECT_FALSE(plain.bulk || plain.skipUniqueChecks || plain.skipForeignKeyChecks);
  EXPECT_EQ(plain.channelFd, -1);
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
      {"import", "a.db"},
      {"import", "--database", "x"},
      {"import", "a.db", "--database"},
      {"dump", "--database", "x", "a.db"},
      {"inspect", "--user", "x", "a.db"},
      {"import", "a.db", "--database", "x", "--unit-rows", "5"},  // bulk options need --bulk
      {"import", "a.db", "--database", "x", "--bulk", "--unit-rows", "0"},
      {"import", "a.db", "--database", "x", "--jobs", "2"},
      {"dump", "--bulk", "a.db"},
      {"import-dir", "/data"},
      {"import-dir", "/data", "--database", "x", "--jobs", "0"},
      {"import-dir", "/data", "--database", "x", "--jobs", "2x"},
      {"import-dir", "/data", "--database", "x", "--table", "t"},
      {"import-dir", "/data", "--database", "x", "--binary", "MEMO"},
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
