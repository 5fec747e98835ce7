// tabulix-cli import end to end: every sample table imported into the test server and read
// back with the client library, value by value against tabulix-cli dump of the same file, and
// imported again in bulk mode to the same contents; the exact log of the orders example on
// standard output; the exit statuses; a refused record in bulk mode; a folder of tables.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "OrdersTable.h"
#include "ServerSession.h"
#include "app/core/Base64.h"
#include "source/DbaseTestTables.h"
#include "support/Json.h"
#include "support/TestData.h"
#include "support/TestServer.h"

namespace tabulix::test {
namespace {

constexpr const char* kDatabase = "tabulix_cli_import";

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs tabulix-cli in a session of its own (so it has no terminal to ask on) with the
// password in TABULIX_PASSWORD unless told otherwise.
CliRun RunCli(const std::vector<std::string>& args, bool withPassword = true) {
  const std::string errFile = TempDir() + "/cli-import-stderr.txt";
  std::string command = withPassword ? "TABULIX_PASSWORD=" + Quote(Server().password) + " "
                                     : std::string("env -u TABULIX_PASSWORD ");
  command += "setsid " + Quote(TABULIX_CLI);
  for (const std::string& a : args) command += " " + Quote(a);
  command += " </dev/null 2>" + Quote(errFile);
  CliRun run;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errFile, std::ios::binary);
  std::stringstream ss;
  ss << err.rdbuf();
  run.err = ss.str();
  return run;
}

std::vector<std::string> ImportArgs(const std::string& file, const std::string& table) {
  const TestServer& s = Server();
  return {"import", file,     "--database",           kDatabase, "--table", table, "--host",
          s.host,   "--port", std::to_string(s.port), "--user",  s.user};
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A decimal text without the zeros after its point that do not count.
std::string Decimal(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

// One dumped value against the column the server gave back, by the field's type name (the
// field grid's second column).
void ExpectSameValue(const Json& dumped, const Cell& stored, const std::string& type) {
  static const std::vector<std::string> kBinary = {"blob", "graphic", "fmtmemo", "ole", "bytes"};
  if (dumped.IsNull()) {
    EXPECT_EQ(stored, std::nullopt);
    return;
  }
  ASSERT_TRUE(stored.has_value()) << "NULL on the server for " << dumped.text;
  const std::string& s = *stored;
  if (type == "bool") {
    EXPECT_EQ(s, dumped.boolean ? "-1" : "0");
  } else if (type == "float") {
    // Doubles in their shortest round-trip texts on both sides: the same double or not.
    EXPECT_EQ(std::strtod(s.c_str(), nullptr), dumped.Number()) << s << " vs " << dumped.text;
  } else if (type == "currency") {
    // Money goes into decimal(19,4): the stored double to four decimals (a Paradox amount
    // such as 134.85000000000002, the double of a sum, arrives as 134.8500).
    char rounded[64];
    std::snprintf(rounded, sizeof rounded, "%.4f", dumped.Number());
    EXPECT_EQ(s, rounded) << dumped.text;
  } else if (type == "bcd") {
    EXPECT_EQ(Decimal(s), Decimal(dumped.text));
  } else if (std::find(kBinary.begin(), kBinary.end(), type) != kBinary.end()) {
    std::string base64;
    app::AppendBase64(base64, s);
    EXPECT_EQ(base64, dumped.text) << "binary value differs";
  } else if (type == "char") {
    // A character field is blank-padded to its width; so is a CHAR column, whose padding
    // the server takes off when it is read.
    std::string text = dumped.text;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    EXPECT_EQ(s, text);
  } else if (type == "time" || type == "datetime") {
    // time(3) and datetime(3) columns always show three decimals; the dump only when the
    // milliseconds are not 0.
    EXPECT_EQ(s.ends_with(".000") ? s.substr(0, s.size() - 4) : s, dumped.text);
  } else {
    // Texts of memos, integers and dates exactly.
    EXPECT_EQ(s, dumped.text);
  }
}

// The field grid of a table as tabulix-cli inspect prints it: the type name of each field.
std::vector<std::string> TypeNames(const std::string& file,
                                   const std::vector<std::string>& options) {
  std::vector<std::string> args = {"inspect", file};
  args.insert(args.end(), options.begin(), options.end());
  const CliRun run = RunCli(args);
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> types;
  std::vector<std::string> lines = SplitLines(run.out);
  for (std::size_t i = 1; i < lines.size(); ++i) {  // after the header line
    const std::string& line = lines[i];
    if (line.starts_with("Records:")) break;  // the counts and the code page follow the grid
    std::istringstream cells(line);
    std::string name;
    std::string type;
    std::getline(cells, name, '\t');
    std::getline(cells, type, '\t');
    types.push_back(type);
  }
  return types;
}

// Tables that cannot be imported as they are, and why; each must fail with a message that says
// so. Where an option makes the table readable, the import is run again with it.
struct NotImported {
  std::string message;
  std::vector<std::string> retryOptions;
};
const std::map<std::string, NotImported> kNotImported = {
    // Paradox encryption is not read; the reader says the table is password-protected.
    {"paradox/encrypt/encrypted.db", {"encrypted", {}}},
    // A table without fields: the server has no table without columns, the CREATE is refused
    // (the log shows why) and opening the target table reports it missing.
    {"dbase/polygon.dbf", {"doesn't exist", {}}},
    // Its memo file is not among the samples; the reader names the missing file. Without the
    // memos it imports, its memos null.
    {"dbase/dbase_8c.dbf", {"dbase_8c.dbt not found", {"--without-memos"}}},
};

class CliImportTest : public ::testing::Test {
 protected:
  void SetUp() override { session.Exec(std::string("DROP DATABASE IF EXISTS ") + kDatabase); }
  void TearDown() override { session.Exec(std::string("DROP DATABASE IF EXISTS ") + kDatabase); }

  // The table on the server against tabulix-cli dump of the file, row by row, by position.
  void ExpectSameTable(const std::string& file, const std::string& table,
                       const std::vector<std::string>& options = {}) {
    std::vector<std::string> dumpArgs = {"dump", file};
    dumpArgs.insert(dumpArgs.end(), options.begin(), options.end());
    const CliRun dump = RunCli(dumpArgs);
    ASSERT_EQ(dump.status, 0) << dump.err;
    const std::vector<std::string> types = TypeNames(file, options);
    const std::vector<std::string> records = SplitLines(dump.out);
    const QueryResult stored =
        session.Query("SELECT * FROM " + std::string(kDatabase) + "." + table);
    ASSERT_EQ(stored.columns.size(), types.size());
    ASSERT_EQ(stored.rows.size(), records.size());
    for (std::size_t r = 0; r < records.size(); ++r) {
      SCOPED_TRACE("record " + std::to_string(r + 1));
      const Json record = Json::Parse(records[r]);
      ASSERT_EQ(record.members.size(), types.size());
      for (std::size_t c = 0; c < types.size(); ++c) {
        SCOPED_TRACE(record.members[c].first);
        ExpectSameValue(record.members[c].second, stored.rows[r][c], types[c]);
      }
    }
  }

  // The same file imported again with --bulk, in units of seven rows, into bulk_TABLE: the
  // same column definitions and the same rows, byte for byte, as the one-by-one import left.
  void ExpectSameInBulk(const std::string& file, const std::string& table,
                        const std::vector<std::string>& options = {}) {
    std::vector<std::string> args = ImportArgs(file, "bulk_" + table);
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {"--bulk", "--unit-rows", "7"});
    const CliRun run = RunCli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string columns =
        "SELECT COLUMN_NAME, COLUMN_TYPE, IS_NULLABLE, COLUMN_KEY, EXTRA FROM "
        "information_schema.COLUMNS WHERE TABLE_SCHEMA = '" +
        std::string(kDatabase) + "' AND TABLE_NAME = '%s' ORDER BY ORDINAL_POSITION";
    auto of = [&](const std::string& name) {
      std::string sql = columns;
      return sql.replace(sql.find("%s"), 2, name);
    };
    EXPECT_EQ(session.Query(of("bulk_" + table)).rows, session.Query(of(table)).rows);
    const std::string from = std::string("SELECT * FROM ") + kDatabase + ".";
    EXPECT_EQ(session.Query(from + "bulk_" + table).rows, session.Query(from + table).rows);
  }

  ServerSession session;
};

TEST_F(CliImportTest, EverySampleTableArrivesValueByValue) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(RealDataDir())) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (ext == ".db" || ext == ".dbf") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 50u);
  int imported = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& file = files[i];
    const std::string relative = file.substr(RealDataDir().size() + 1);
    SCOPED_TRACE(relative);
    const std::string table = "t" + std::to_string(i);
    const CliRun run = RunCli(ImportArgs(file, table));
    if (auto known = kNotImported.find(relative); known != kNotImported.end()) {
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.err.find(known->second.message), std::string::npos) << run.err;
      std::vector<std::string> args = ImportArgs(file, table);
      args.push_back("--bulk");
      const CliRun bulk = RunCli(args);
      EXPECT_EQ(bulk.status, 1);
      EXPECT_NE(bulk.err.find(known->second.message), std::string::npos) << bulk.err;
      const std::vector<std::string>& options = known->second.retryOptions;
      if (options.empty()) continue;
      args = ImportArgs(file, table);
      args.insert(args.end(), options.begin(), options.end());
      const CliRun retried = RunCli(args);
      EXPECT_EQ(retried.status, 0) << retried.err;
      if (retried.status == 0) {
        ExpectSameTable(file, table, options);
        ExpectSameInBulk(file, table, options);
      }
      continue;
    }
    EXPECT_EQ(run.status, 0) << run.err;
    if (run.status == 0) {
      ++imported;
      ExpectSameTable(file, table);
      ExpectSameInBulk(file, table);
    }
  }
  EXPECT_EQ(imported, static_cast<int>(files.size() - kNotImported.size()));
}

// A dBase table in Windows-1252 with an amount that is no number and a picture kept in a text
// memo.
std::string WarningsTable(const std::string& image) {
  using namespace source::dbase_test;
  DbtIVWriter memo;
  DbfWriter w(0x8B);
  w.LanguageDriver(0x03);
  w.Field({"ID", 'N', 3}).Field({"AMOUNT", 'N', 10, 2}).Field({"PIC", 'M', 10});
  w.Row({"1", "  1,200.00", Pointer10(memo.Add(image))}).Row({"2", "1.200,00", ""});
  const std::string dir = TempDir() + "/import-warnings";
  std::filesystem::create_directories(dir);
  WriteBytes(dir + "/pics.dbt", memo.Bytes());
  return w.Write(dir + "/pics.dbf");
}

TEST_F(CliImportTest, WarningsFollowTheLogStrictSendsNothingAndBinaryKeepsEveryByte) {
  std::string image = "GIF89a";
  for (int b = 0; b < 256; ++b) image += static_cast<char>(b);
  const std::string table = WarningsTable(image);
  const CliRun dump = RunCli({"dump", table});
  ASSERT_EQ(dump.status, 0) << dump.err;
  const std::vector<std::string> warnings = SplitLines(dump.err);
  ASSERT_EQ(warnings.size(), 2u) << dump.err;
  EXPECT_TRUE(warnings[0].starts_with("AMOUNT: ")) << warnings[0];
  EXPECT_TRUE(warnings[1].starts_with("PIC: ")) << warnings[1];

  // --strict: the warnings and status 1, nothing logged and nothing on the server.
  std::vector<std::string> args = ImportArgs(table, "pics");
  args.push_back("--strict");
  CliRun run = RunCli(args);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, dump.err);
  EXPECT_EQ(session.Scalar("SELECT COUNT(*) FROM information_schema.SCHEMATA WHERE "
                           "SCHEMA_NAME = '" +
                           std::string(kDatabase) + "'"),
            Cell("0"));

  // Without it the import completes; the warning lines close the log and go to standard
  // error as a dump gives them. The grouped amount is read exactly.
  run = RunCli(ImportArgs(table, "pics"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, dump.err);
  const std::vector<std::string> log = SplitLines(run.out);
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[log.size() - 4], "SQL>DISCONNECT " + std::string(kDatabase));
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()), warnings);
  EXPECT_EQ(session.Scalar("SELECT AMOUNT FROM " + std::string(kDatabase) + ".pics WHERE ID = 1"),
            Cell("1200"));

  // --binary PIC: a blob column that holds the picture byte for byte; only the amount is
  // left to warn about.
  args = ImportArgs(table, "pics");
  args.insert(args.end(), {"--binary", "PIC"});
  run = RunCli(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, warnings[0] + "\n");
  EXPECT_NE(run.out.find(",PIC longblob)"), std::string::npos) << run.out;
  const QueryResult pics =
      session.Query("SELECT PIC FROM " + std::string(kDatabase) + ".pics ORDER BY ID");
  ASSERT_EQ(pics.rows.size(), 2u);
  EXPECT_EQ(pics.rows[0][0], Cell(image));
  EXPECT_EQ(pics.rows[1][0], Cell(""));
}

TEST_F(CliImportTest, OrdersExamplePrintsTheLogAndFailuresTheirStatus) {
  const std::string orders = WriteOrdersTable(TempDir() + "/orders.db", ExampleOrders());
  const CliRun run = RunCli(ImportArgs(orders, "orders"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(SplitLines(run.out), ExampleOrdersLog(kDatabase));

  // A record the server refuses: its number, the rows before it stay, status 1.
  const std::string twice =
      WriteOrdersTable(TempDir() + "/twice.db", {{1, "A", "a"}, {2, "B", "b"}, {2, "C", "c"}});
  CliRun failed = RunCli(ImportArgs(twice, "twice"));
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("Duplicate entry '2'"), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("record 3 of the source table"), std::string::npos) << failed.err;
  EXPECT_EQ(session.Scalar(std::string("SELECT COUNT(*) FROM ") + kDatabase + ".twice"), Cell("2"));

  // The forbidden name: the message, nothing on standard output.
  std::vector<std::string> args = ImportArgs(orders, "orders");
  args[3] = "MySQL ";
  failed = RunCli(args);
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out, "");
  EXPECT_EQ(failed.err, "E R R O R - THIS IS NOT ALLOWED! WRONG DATABASE-NAME!\n");

  // No password and no terminal: the login is cancelled after the table definition.
  failed = RunCli(ImportArgs(orders, "orders"), false);
  EXPECT_EQ(failed.status, 2) << failed.err;
  EXPECT_EQ(SplitLines(failed.out), std::vector<std::string>{ExampleOrdersLog(kDatabase)[0]});

  // A wrong password from the file: the server's message, status 1.
  const std::string passwordFile = TempDir() + "/wrong-password";
  std::ofstream(passwordFile) << "wrong\n";
  args = ImportArgs(orders, "orders");
  args.insert(args.end(), {"--password-file", passwordFile});
  failed = RunCli(args);
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("Access denied"), std::string::npos) << failed.err;
}

TEST_F(CliImportTest, BulkImportNamesARefusedRecordAndKeepsTheUnitsBeforeIt) {
  std::vector<OrdersRow> rows;
  for (int i = 1; i <= 14; ++i) rows.push_back({i, "Name " + std::to_string(i), "note"});
  rows[9].id = 3;  // record 10 repeats the key of record 3: in the middle of the third unit
  const std::string file = WriteOrdersTable(TempDir() + "/bulk-orders.db", rows);
  const CliRun single = RunCli(ImportArgs(file, "orders"));
  ASSERT_EQ(single.status, 1);
  std::vector<std::string> args = ImportArgs(file, "orders");
  args.insert(args.end(), {"--bulk", "--unit-rows", "4"});
  const CliRun run = RunCli(args);
  EXPECT_EQ(run.status, 1);
  // The server's message as the one-by-one import has it, then where the bulk import stopped.
  const std::string message = SplitLines(single.err).at(0);
  EXPECT_EQ(SplitLines(run.err),
            (std::vector<std::string>{message,
                                      "The import stopped at record 10 of the source "
                                      "table; records 1 to 8 are on the server, the "
                                      "records after it are not."}));
  const QueryResult ids = session.Query(std::string("SELECT GROUP_CONCAT(ID ORDER BY ID) FROM ") +
                                        kDatabase + ".orders");
  EXPECT_EQ(ids.rows.at(0).at(0), Cell("1,2,3,4,5,6,7,8"));
  // The log: the first two units committed, the third refused with the record named.
  const std::vector<std::string> log = SplitLines(run.out);
  auto has = [&](const std::string& line) {
    return std::find(log.begin(), log.end(), line) != log.end();
  };
  for (const char* unit : {"rows 1 to 4", "rows 5 to 8"}) {
    const auto at =
        std::find(log.begin(), log.end(), std::string("SQL>LOAD DATA INTO orders ") + unit);
    ASSERT_NE(at, log.end()) << unit << "\n" << run.out;
    EXPECT_EQ(*(at + 1), "SQL>[OK.]");
  }
  EXPECT_TRUE(
      has("SQL>[" + message + " (record 10); rows 9 to 12 rolled back, rows 1 to 8 committed]"))
      << run.out;
  EXPECT_FALSE(has("SQL>LOAD DATA INTO orders rows 13 to 14")) << run.out;
}

TEST_F(CliImportTest, AFolderOfTablesArrivesTwoAtATimeAndADamagedOneFailsAlone) {
  namespace fs = std::filesystem;
  const fs::path folder = TempDir() + "/folder-import";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path samples = RealDataDir();
  for (const char* file : {"paradox/db/CUSTOMER.DB", "paradox/db/CUSTOMER.MB",
                           "paradox/db/ORDERS.DB", "paradox/db/AREACODES.DB", "paradox/db/DECIMAL.DB",
                           "dbase/dbase_83.dbf",
                           "dbase/dbase_83.dbt", "dbase/cp1251.dbf", "dbase/dbase_03.dbf"}) {
    fs::copy_file(samples / file, folder / fs::path(file).filename());
  }
  // A table cut off inside its records.
  std::string bytes;
  {
    std::ifstream in(samples / "paradox/db/ORDERS.DB", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    bytes = ss.str().substr(0, 3000);
  }
  std::ofstream(folder / "BROKEN.DB", std::ios::binary) << bytes;
  const CliRun broken = RunCli({"dump", (folder / "BROKEN.DB").string()});
  ASSERT_EQ(broken.status, 1);
  const std::string brokenMessage = SplitLines(broken.err).at(0);

  const TestServer& s = Server();
  const std::string report = TempDir() + "/folder-report.json";
  const CliRun run = RunCli({"import-dir", folder.string(), "--database", kDatabase, "--jobs", "2",
                             "--bulk", "--report", report, "--host", s.host, "--port",
                             std::to_string(s.port), "--user", s.user});
  EXPECT_EQ(run.status, 1) << run.err;
  const Json json = Json::ParseFile(report);
  const std::vector<std::string> summary = SplitLines(run.out);
  ASSERT_EQ(json["tables"].items.size(), 8u) << run.out;
  ASSERT_EQ(summary.size(), 10u) << run.out;  // header, eight tables, the count
  EXPECT_EQ(summary.back(), "8 tables: 7 imported, 1 failed");
  EXPECT_EQ(json["imported"].Integer(), 7);
  EXPECT_EQ(json["failed"].Integer(), 1);
  for (std::size_t i = 0; i < 8; ++i) {
    const Json& table = json["tables"][i];
    SCOPED_TRACE(table["file"].text);
    std::istringstream line(summary[i + 1]);
    std::string file, read, onServer;
    line >> file >> read >> onServer;
    EXPECT_EQ(file, table["file"].text);
    EXPECT_EQ(read, table["rows_read"].text);
    const Cell count = session.Scalar(
        "SELECT TABLE_ROWS IS NOT NULL FROM information_schema.TABLES WHERE TABLE_SCHEMA = '" +
        std::string(kDatabase) + "' AND TABLE_NAME = '" + table["table"].text + "'");
    if (table["file"].text == "BROKEN.DB") {
      EXPECT_EQ(table["status"].text, "failed");
      EXPECT_EQ(table["message"].text, brokenMessage);
      EXPECT_NE(summary[i + 1].find("failed: " + brokenMessage), std::string::npos);
      EXPECT_TRUE(table["rows_on_server"].IsNull());
      EXPECT_EQ(onServer, "-");
      EXPECT_EQ(count, std::nullopt);  // no such table
      continue;
    }
    EXPECT_EQ(table["status"].text, "ok");
    EXPECT_TRUE(summary[i + 1].ends_with("  ok"));
    // Every record of the file is on the server, and both reports say so.
    const CliRun dump = RunCli({"dump", (folder / table["file"].text).string()});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const std::string records = std::to_string(SplitLines(dump.out).size());
    // DECIMAL.DB makes a table of a reserved word's name.
    EXPECT_EQ(session.Scalar("SELECT COUNT(*) FROM " + std::string(kDatabase) + ".`" +
                             table["table"].text + "`"),
              Cell(records));
    EXPECT_EQ(table["rows_on_server"].text, records);
    EXPECT_EQ(table["rows_read"].text, records);
    EXPECT_EQ(onServer, records);
  }
}

}  // namespace
}  // namespace tabulix::test
