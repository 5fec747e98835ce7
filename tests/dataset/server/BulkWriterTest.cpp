// The bulk writer against the test server: both of its methods store exactly what the dataset's
// own INSERTs store, and a refused record is found, named and reported with the rows before its
// unit committed.
#include <functional>
#include <string>
#include <vector>

#include "dataset/TZBulkWriter.h"
#include "dataset/server/DatasetFixture.h"
#include "framework/DateTime.h"

namespace tabulix::test {
namespace {

const char* Name(TZBulkMethod method) {
  return method == TZBulkMethod::LoadData ? "LOAD DATA" : "INSERT";
}

class BulkWriterTest : public DatasetServerTest {
 protected:
  using Values = std::vector<FieldValue>;

  // Appends and posts every row into table `name`, through a bulk writer unless method is
  // empty; returns the error that stopped it, if any.
  std::optional<EDatabaseError> Load(const std::string& name, const std::vector<Values>& rows,
                                     std::optional<TZBulkMethod> method, std::int64_t unitRows = 0,
                                     std::optional<EBulkLoadError>* bulkError = nullptr) {
    table.Close();
    OpenTable(name);
    try {
      std::optional<TZBulkWriter> writer;
      if (method) writer.emplace(table, TZBulkSettings{*method, unitRows});
      for (const Values& row : rows) {
        table.Append();
        for (std::size_t i = 0; i < row.size(); ++i) {
          table.Fields(static_cast<int>(i)).SetValue(row[i]);
        }
        table.Post();
      }
      if (writer) writer->Finish();
    } catch (const EBulkLoadError& e) {
      table.Cancel();
      if (bulkError) bulkError->emplace(e);
      return e;
    } catch (const EDatabaseError& e) {
      table.Cancel();
      return e;
    }
    return std::nullopt;
  }
};

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST_F(BulkWriterTest, BothMethodsStoreWhatTheInsertsStore) {
  // The column types the import's table definitions use.
  const std::string columns =
      "seq INT, txt CHAR(20), memo MEDIUMTEXT, bin LONGBLOB, d DATE, tm TIME, dt DATETIME, "
      "f FLOAT, money FLOAT(2), flag BOOL, small SMALLINT, word SMALLINT UNSIGNED, big BIGINT";
  auto text = [](const std::string& s) { return FieldValue::Bytes(s); };
  const FieldValue null = FieldValue::Null();
  const TDateTime day = EncodeDate(1899, 12, 30);
  const TDateTime stamp = ComposeDateTime(EncodeDate(2024, 2, 29), EncodeTime(23, 59, 58, 0));
  const std::vector<Values> rows = {
      {FieldValue::Integer(1),
       text("M\xC3\xBCller\tStra\xC3\x9F"
            "e"),
       text("one\ntwo\r\n\\N \\ 'q' \"dq\" \x1a end"), text(AllBytes()), FieldValue::DateTime(day),
       FieldValue::DateTime(0.5), FieldValue::DateTime(stamp), FieldValue::Double(0.1 + 0.2),
       FieldValue::Double(12.34), FieldValue::Boolean(true), FieldValue::Integer(-32768),
       FieldValue::Integer(65535), FieldValue::Largeint(INT64_MIN)},
      {FieldValue::Integer(2), null, null, null, null, null, null, null, null, null, null, null,
       null},
      {FieldValue::Integer(3), text("\\N"), text(""), text(std::string("a\0b\tc\n", 6)),
       FieldValue::DateTime(EncodeDate(9999, 12, 31)), FieldValue::DateTime(0),
       FieldValue::DateTime(EncodeDate(1, 1, 1)), FieldValue::Double(1.0 / 3.0),
       FieldValue::Double(0.005), FieldValue::Boolean(false), FieldValue::Integer(0),
       FieldValue::Integer(0), FieldValue::Largeint(INT64_MAX)},
      {FieldValue::Integer(4), text("C:\\DATA\\"), text("\t\t\\\t"), text("\\"), null, null, null,
       FieldValue::Double(-3.4e38), FieldValue::Double(1e-30), null, FieldValue::Integer(32767),
       null, FieldValue::Largeint(0)},
      {FieldValue::Integer(5), text("\xF0\x9F\x98\x80 \xE2\x82\xAC"), text(std::string(3000, 'x')),
       text(std::string(1, '\0')), null, null, null, null, null, FieldValue::Boolean(true), null,
       null, null},
  };
  const std::string read = "SELECT * FROM %s ORDER BY seq";
  Create(columns, "one_by_one");
  ASSERT_FALSE(Load("one_by_one", rows, std::nullopt));
  const std::vector<Row> expected = raw.Rows("SELECT * FROM one_by_one ORDER BY seq");
  ASSERT_EQ(expected.size(), rows.size());
  // Spot checks that the reference itself holds what was set.
  EXPECT_EQ(expected[0][3], AllBytes());
  EXPECT_EQ(expected[2][1], "\\N");
  EXPECT_EQ(expected[1][1], std::nullopt);

  for (TZBulkMethod method : {TZBulkMethod::LoadData, TZBulkMethod::Insert}) {
    SCOPED_TRACE(Name(method));
    Create(columns, "bulk");
    Sent();
    // Two rows a unit: three units, the last one short.
    ASSERT_FALSE(Load("bulk", rows, method, 2));
    EXPECT_EQ(raw.Rows("SELECT * FROM bulk ORDER BY seq"), expected);
    std::vector<std::string> units;
    for (const Report& r : Sent()) {
      if (r.first.find(" rows ") != std::string::npos) units.push_back(r.first + " -> " + r.second);
    }
    const std::string verb = method == TZBulkMethod::LoadData ? "LOAD DATA" : "INSERT";
    EXPECT_EQ(units, (std::vector<std::string>{verb + " INTO bulk rows 1 to 2 -> OK.",
                                               verb + " INTO bulk rows 3 to 4 -> OK.",
                                               verb + " INTO bulk rows 5 to 5 -> OK."}));
  }
}

struct Refusal {
  TZBulkMethod method;
  const char* what;
  std::function<void(std::vector<std::vector<FieldValue>>&)> spoil;  // spoils record 10
};

TEST_F(BulkWriterTest, ARefusedRecordInTheThirdUnitIsNamedAndTheFirstTwoUnitsStay) {
  const std::vector<Refusal> cases = {
      {TZBulkMethod::LoadData, "number out of range",
       [](auto& rows) { rows[9][1] = FieldValue::Double(1e39); }},
      {TZBulkMethod::Insert, "number out of range",
       [](auto& rows) { rows[9][1] = FieldValue::Double(1e39); }},
      // A LOAD DATA LOCAL skips a duplicate with a warning; the writer must not.
      {TZBulkMethod::LoadData, "duplicate key",
       [](auto& rows) { rows[9][0] = FieldValue::Integer(3); }},
      {TZBulkMethod::Insert, "duplicate key",
       [](auto& rows) { rows[9][0] = FieldValue::Integer(3); }},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(std::string(Name(c.method)) + ", " + c.what);
    std::vector<std::vector<FieldValue>> rows;
    for (int i = 1; i <= 14; ++i) {
      rows.push_back({FieldValue::Integer(i), FieldValue::Double(i * 1.5),
                      FieldValue::Bytes("r" + std::to_string(i))});
    }
    c.spoil(rows);
    const std::string columns = "id INT PRIMARY KEY, f FLOAT, txt CHAR(5)";
    // What the one-by-one path says about record 10, on a table of the same name.
    Create(columns);
    const std::optional<EDatabaseError> single = Load("t", rows, std::nullopt);
    ASSERT_TRUE(single);
    Create(columns);
    Sent();
    std::optional<EBulkLoadError> error;
    ASSERT_TRUE(Load("t", rows, c.method, 4, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Message(), single->Message());
    EXPECT_EQ(error->ErrorCode(), single->ErrorCode());
    EXPECT_EQ(error->Statement(), single->Statement());
    EXPECT_EQ(error->RecordNumber(), 10);
    EXPECT_TRUE(error->RecordRefused());
    EXPECT_EQ(error->CommittedRows(), 8);
    EXPECT_EQ(raw.Value("SELECT GROUP_CONCAT(id ORDER BY id) FROM t"), "1,2,3,4,5,6,7,8");
    std::vector<std::string> results;
    for (const Report& r : Sent()) {
      if (r.first.find(" rows ") != std::string::npos) results.push_back(r.second);
    }
    ASSERT_GE(results.size(), 3u);
    EXPECT_EQ(results[0], "OK.");
    EXPECT_EQ(results[1], "OK.");
    EXPECT_EQ(results.back(),
              single->Message() + " (record 10); rows 9 to 12 rolled back, rows 1 to 8 committed");
  }
}

TEST_F(BulkWriterTest, WithoutLocalInfileOnTheServerTheRowsGoAsInserts) {
  ServerSession admin;
  admin.Exec("SET GLOBAL local_infile = 0");
  Create("id INT, txt CHAR(5)");
  Sent();
  std::vector<std::vector<FieldValue>> rows;
  for (int i = 1; i <= 5; ++i) rows.push_back({FieldValue::Integer(i), FieldValue::Bytes("a\tb")});
  const std::optional<EDatabaseError> error = Load("t", rows, TZBulkMethod::LoadData, 3);
  admin.Exec("SET GLOBAL local_infile = 1");
  ASSERT_FALSE(error) << error->Message();
  EXPECT_EQ(raw.Value("SELECT COUNT(*) FROM t WHERE txt = 'a\\tb'"), "5");
  const Reports sent = Sent();
  const auto said = std::find_if(sent.begin(), sent.end(), [](const Report& r) {
    return r.second.find("does not allow LOAD DATA LOCAL INFILE") != std::string::npos;
  });
  EXPECT_NE(said, sent.end());
  EXPECT_NE(std::find(sent.begin(), sent.end(), Report{"INSERT INTO t rows 4 to 5", "OK."}),
            sent.end());
}

}  // namespace
}  // namespace tabulix::test
