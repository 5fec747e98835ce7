// One row of every target field type, appended through the fields as the import sets them,
// posted under a comma locale, then read back twice: byte for byte with the client library,
// and through the dataset's own fetch.
#include <charconv>
#include <clocale>
#include <limits>
#include <string>
#include <vector>

#include "dataset/server/DatasetFixture.h"
#include "framework/DateTime.h"
#include "framework/FormatSettings.h"

namespace tabulix::test {
namespace {

// The process locale and the format settings with a decimal comma, for one test.
class CommaLocale {
 public:
  CommaLocale()
      : saved_(std::setlocale(LC_ALL, nullptr)),
        active_(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr),
        separator_(',') {}
  ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
  bool Active() const { return active_; }

 private:
  std::string saved_;
  bool active_;
  DecimalSeparatorScope separator_;
};

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes + std::string("\0\\'\"", 4);
}

struct Column {
  const char* definition;
  FieldValue value;  // what the field is set from; null leaves it null
  Cell stored;       // what the server holds afterwards (for doubles: their value)
  FieldValue back;   // what the field gives after a fresh fetch
};

std::vector<Column> Columns() {
  const double third = 1.0 / 3.0;
  const double tenths = 0.1 + 0.2;
  const double cents = 123456789012.3456;
  const TDateTime born = EncodeDate(1970, 5, 1);
  const TDateTime stamp = ComposeDateTime(EncodeDate(2001, 12, 31), EncodeTime(14, 5, 9, 0));
  const std::string umlauts =
      "M\xC3\xBCller Stra\xC3\x9F"
      "e 123456";                                   // exactly 20 characters
  const std::string emoji = "\xF0\x9F\x98\x80ok!";  // 4 characters
  auto text = [](const std::string& s) { return FieldValue::Bytes(s); };
  return {
      {"id INT PRIMARY KEY", FieldValue::Integer(1), "1", FieldValue::Integer(1)},
      {"path VARCHAR(40)", text("C:\\DATA\\"), "C:\\DATA\\", text("C:\\DATA\\")},
      {"blanks VARCHAR(40)", text("Hauptstr.  5\tB"), "Hauptstr.  5\tB", text("Hauptstr.  5\tB")},
      {"`Two  Blanks` VARCHAR(20)", text("a  b"), "a  b", text("a  b")},
      {"`Invoice #` INT", FieldValue::Integer(42), "42", FieldValue::Integer(42)},
      {"quotes VARCHAR(40)", text("O'Neil \"x\" \\ y"), "O'Neil \"x\" \\ y",
       text("O'Neil \"x\" \\ y")},
      {"`lines` MEDIUMTEXT", text("one\r\ntwo\n\x1a end"), "one\r\ntwo\n\x1a end",
       text("one\r\ntwo\n\x1a end")},
      {"umlauts CHAR(20)", text(umlauts), umlauts, text(umlauts)},
      {"emoji VARCHAR(4)", text(emoji), emoji, text(emoji)},
      {"bin LONGBLOB", text(AllBytes()), AllBytes(), text(AllBytes())},
      {"d DATE", FieldValue::DateTime(born), "1970-05-01", FieldValue::DateTime(born)},
      {"tm TIME", FieldValue::DateTime(0), "00:00:00", FieldValue::DateTime(0)},
      {"dt DATETIME", FieldValue::DateTime(stamp), "2001-12-31 14:05:09",
       FieldValue::DateTime(stamp)},
      {"flag TINYINT(1)", FieldValue::Boolean(true), "-1", FieldValue::Integer(-1)},
      {"yn ENUM('Y','N')", FieldValue::Boolean(true), "Y", FieldValue::Boolean(true)},
      {"f1 DOUBLE", FieldValue::Double(tenths), std::nullopt, FieldValue::Double(tenths)},
      {"f2 DOUBLE", FieldValue::Double(third), std::nullopt, FieldValue::Double(third)},
      {"f3 DOUBLE", FieldValue::Double(cents), std::nullopt, FieldValue::Double(cents)},
      {"money DECIMAL(19,4)", FieldValue::FromCurrency(Currency{INT64_MAX}), "922337203685477.5807",
       FieldValue::FromCurrency(Currency{INT64_MAX})},
      {"big BIGINT", FieldValue::Largeint(INT64_MIN), "-9223372036854775808",
       FieldValue::Largeint(INT64_MIN)},
      {"empty_text VARCHAR(5)", text(""), "", text("")},
      {"null_text VARCHAR(5)", FieldValue::Null(), std::nullopt, FieldValue::Null()},
      {"empty_memo TEXT", text(""), "", text("")},
      {"null_memo TEXT", FieldValue::Null(), std::nullopt, FieldValue::Null()},
  };
}

TEST_F(DatasetServerTest, EveryFieldTypeReachesTheServerByteForByte) {
  CommaLocale comma;
  ASSERT_TRUE(comma.Active()) << "locale de_DE.UTF-8 missing: the test build makes it with "
                                 "localedef and CTest runs the tests with LOCPATH pointing there";
  const std::vector<Column> columns = Columns();
  std::string definition;
  for (const Column& c : columns)
    definition += (definition.empty() ? "" : ", ") + std::string(c.definition);
  Create(definition);
  OpenTable();
  ASSERT_EQ(table.FieldCount(), static_cast<int>(columns.size()));
  table.Append();
  for (std::size_t i = 0; i < columns.size(); ++i)
    table.Fields(static_cast<int>(i)).SetValue(columns[i].value);
  table.Post();

  const std::vector<Row> rows = raw.Rows("SELECT * FROM t");
  ASSERT_EQ(rows.size(), 1u);
  ASSERT_EQ(rows[0].size(), columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const Column& c = columns[i];
    const Cell& cell = rows[0][i];
    if (c.value.kind() == FieldValue::Kind::Double) {
      ASSERT_TRUE(cell) << c.definition;
      // The same double, not one that prints alike (read without the locale's comma).
      double stored = 0;
      std::from_chars(cell->data(), cell->data() + cell->size(), stored);
      EXPECT_EQ(stored, c.value.real()) << c.definition << ": " << *cell;
    } else {
      EXPECT_EQ(cell, c.stored) << c.definition;
    }
  }

  // Fetched back by a fresh open, every value is what was set, null apart from empty.
  table.Close();
  table.Open();
  ASSERT_EQ(table.RecordCount(), 1);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const Column& c = columns[i];
    TField& field = table.Fields(static_cast<int>(i));
    EXPECT_EQ(field.IsNull(), c.back.IsNull()) << c.definition;
    if (!c.back.IsNull()) {
      EXPECT_EQ(field.Value(), c.back) << c.definition;
    }
  }
}

}  // namespace
}  // namespace tabulix::test
