// tabulix-cli import end to end: every sample table imported into the test server and read
// back with the client library, value by value against tabulix-cli dump of the same file; the
// exact log of the orders example on standard output; the exit statuses.
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
  return {"import", file,     "--database",          kDatabase,   "--table", table,
          "--host", s.host,   "--port", std::to_string(s.port), "--user", s.user};
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Base64Decode(const std::string& text) {
  static const std::string alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned bits = 0;
  int count = 0;
  for (char c : text) {
    const std::size_t v = alphabet.find(c);
    if (v == std::string::npos) continue;  // padding
    bits = (bits << 6) | static_cast<unsigned>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
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
  } else if (type == "float" || type == "currency") {
    // Doubles in their shortest round-trip texts on both sides: the same double or not.
    EXPECT_EQ(std::strtod(s.c_str(), nullptr), dumped.Number()) << s << " vs " << dumped.text;
  } else if (type == "bcd") {
    EXPECT_EQ(Decimal(s), Decimal(dumped.text));
  } else if (std::find(kBinary.begin(), kBinary.end(), type) != kBinary.end()) {
    EXPECT_EQ(s, Base64Decode(dumped.text)) << "binary value differs";
  } else if (type == "char") {
    // A character field is blank-padded to its width; so is a CHAR column, whose padding
    // the server takes off when it is read.
    std::string text = dumped.text;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    EXPECT_EQ(s, text);
  } else {
    // Texts of memos, integers, dates, times and date-times exactly.
    EXPECT_EQ(s, dumped.text);
  }
}

// The field grid of a table as tabulix-cli inspect prints it: the type name of each field.
std::vector<std::string> TypeNames(const std::string& file) {
  const CliRun run = RunCli({"inspect", file});
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> types;
  for (const std::string& line : SplitLines(run.out)) {
    if (line.starts_with("Name\t") || line.starts_with("Records:") || line.starts_with("Fields:"))
      continue;
    std::istringstream cells(line);
    std::string name;
    std::string type;
    std::getline(cells, name, '\t');
    std::getline(cells, type, '\t');
    types.push_back(type);
  }
  return types;
}

// Tables that cannot be imported, and why; each must fail with a message that says so.
const std::map<std::string, std::string> kNotImported = {
    // Paradox encryption is not read; the reader says the table is password-protected.
    {"paradox/encrypt/encrypted.db", "encrypted"},
    // A table without fields: the server has no table without columns, the CREATE is refused
    // and opening the target table reports it missing. The log shows the refusal.
    {"dbase/polygon.dbf", "doesn't exist"},
    // Its memo file is not among the samples; the reader names the missing file.
    {"dbase/dbase_8c.dbf", "dbase_8c.dbt not found"},
};

class CliImportTest : public ::testing::Test {
 protected:
  void SetUp() override { session.Exec(std::string("DROP DATABASE IF EXISTS ") + kDatabase); }
  void TearDown() override { session.Exec(std::string("DROP DATABASE IF EXISTS ") + kDatabase); }
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
      EXPECT_NE(run.err.find(known->second), std::string::npos) << run.err;
      continue;
    }
    ASSERT_EQ(run.status, 0) << run.err;
    ++imported;
    const CliRun dump = RunCli({"dump", file});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const std::vector<std::string> types = TypeNames(file);
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
  EXPECT_EQ(imported, static_cast<int>(files.size() - kNotImported.size()));
}

TEST_F(CliImportTest, OrdersExamplePrintsTheLogAndFailuresTheirStatus) {
  const std::string orders = WriteOrdersTable(TempDir() + "/orders.db", ExampleOrders());
  const CliRun run = RunCli(ImportArgs(orders, "orders"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(SplitLines(run.out), ExampleOrdersLog(kDatabase));

  // A record the server refuses: its number, the rows before it stay, status 1.
  const std::string twice = WriteOrdersTable(TempDir() + "/twice.db",
                                             {{1, "A", "a"}, {2, "B", "b"}, {2, "C", "c"}});
  CliRun failed = RunCli(ImportArgs(twice, "twice"));
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("Duplicate entry '2'"), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("record 3 of the source table"), std::string::npos) << failed.err;
  EXPECT_EQ(session.Scalar(std::string("SELECT COUNT(*) FROM ") + kDatabase + ".twice"),
            Cell("2"));

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

}  // namespace
}  // namespace tabulix::test
