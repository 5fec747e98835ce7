#include <gtest/gtest.h>

#include "dataset/ZRecordLayout.h"
#include "dataset/ZSqlBuffer.h"
#include "framework/Exceptions.h"
#include "tests/dataset/SqlBufferFixture.h"

namespace tabulix::test {
namespace {

using namespace record;

constexpr int kName = 0;
constexpr int kNumber = 1;
constexpr int kAt = 2;

class SqlBufferSortTest : public SqlBufferTest {
 protected:
  void SetUp() override {
    Bind({MakeField(0, "name", ftString, 10), MakeField(1, "number", ftFloat),
          MakeField(2, "at", ftDateTime), MakeField(3, "memo", ftMemo)});
  }
  // Adds a record; a null pointer or NaN leaves the field null.
  std::byte* Add(const char* name, double number) {
    std::byte* r = buffer.AddRecord();
    if (name) buffer.SetFieldValue(r, kName, FieldValue::Bytes(name));
    if (number == number) buffer.SetFieldValue(r, kNumber, FieldValue::Double(number));
    return r;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < buffer.Count(); ++i) {
      FieldValue v = buffer.GetFieldValue(buffer.Items(i), kName);
      names.push_back(v.IsNull() ? "-" : v.AsText());
    }
    return names;
  }
  void ExpectUnknownField(std::string_view list, const std::string& message) {
    try {
      buffer.SetSort(list, TSqlBuffer::kSortAscending);
      ADD_FAILURE() << "no error for " << list;
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), message);
    }
  }
  static constexpr double kNull = std::numeric_limits<double>::quiet_NaN();
};

TEST_F(SqlBufferSortTest, NullsComeFirstAscendingAndLastDescending) {
  Add("b", 2);
  Add(nullptr, 1);
  Add("c", 3);
  Add("a", kNull);
  buffer.SetSort("name", TSqlBuffer::kSortAscending);
  EXPECT_EQ(Names(), (std::vector<std::string>{"-", "a", "b", "c"}));
  buffer.SetSort(" NAME ", TSqlBuffer::kSortDescending);
  EXPECT_EQ(Names(), (std::vector<std::string>{"c", "b", "a", "-"}));
  buffer.SetSort("1", TSqlBuffer::kSortAscending);  // by position
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "-", "b", "c"}));
  // An empty list restores storage order.
  buffer.SetSort("", TSqlBuffer::kSortAscending);
  EXPECT_FALSE(buffer.Sorted());
  EXPECT_EQ(Names(), (std::vector<std::string>{"b", "-", "c", "a"}));
}

TEST_F(SqlBufferSortTest, LaterFieldsDecideTies) {
  Add("x", 2);
  Add("x", 1);
  Add("a", 9);
  buffer.SetSort("name;number", TSqlBuffer::kSortAscending);
  EXPECT_EQ(buffer.GetFieldValue(buffer.Items(0), kName), FieldValue::Bytes("a"));
  EXPECT_EQ(buffer.GetFieldValue(buffer.Items(1), kNumber), FieldValue::Double(1));
  buffer.SetSort("\"name\", 1", TSqlBuffer::kSortDescending);
  EXPECT_EQ(buffer.GetFieldValue(buffer.Items(0), kNumber), FieldValue::Double(2));
}

TEST_F(SqlBufferSortTest, DateTimesWithinOneSecondSortAsEqual) {
  const TDateTime base = EncodeDate(2001, 12, 31) + EncodeTime(14, 5, 9, 0);
  std::byte* a = Add("a", 2);
  std::byte* b = Add("b", 1);
  std::byte* c = Add("c", 0);
  buffer.SetFieldValue(a, kAt, FieldValue::DateTime(base + EncodeTime(0, 0, 0, 900)));
  buffer.SetFieldValue(b, kAt, FieldValue::DateTime(base));
  buffer.SetFieldValue(c, kAt, FieldValue::DateTime(base + EncodeTime(0, 0, 1, 1)));
  EXPECT_EQ(buffer.CompareField(a, b, kAt), 0);
  EXPECT_EQ(buffer.CompareField(b, c, kAt), -1);
  EXPECT_EQ(buffer.CompareField(c, b, kAt), 1);
  buffer.SetFieldValue(c, kAt, FieldValue::DateTime(base + EncodeTime(0, 0, 2, 500)));
  // a and b tie on the date-time, so the number decides between them.
  buffer.SetSort("at,number", TSqlBuffer::kSortAscending);
  EXPECT_EQ(Names(), (std::vector<std::string>{"b", "a", "c"}));
}

TEST_F(SqlBufferSortTest, UnknownFieldsAreRefusedAndChangeNothing) {
  Add("b", 1);
  Add("a", 2);
  buffer.SetSort("name", TSqlBuffer::kSortAscending);
  Bind({MakeField(0, "name", ftString, 10), MakeField(1, "number", ftFloat)});
  Add("b", 1);
  Add("a", 2);
  ExpectUnknownField("2", "Unknown field 2");
  ExpectUnknownField("name, nosuch", "Unknown field NOSUCH");
  ExpectUnknownField("1x", "Unknown field 1X");
  EXPECT_TRUE(buffer.SortFields().empty());
  EXPECT_EQ(Names(), (std::vector<std::string>{"b", "a"}));
}

TEST_F(SqlBufferSortTest, BlobsDoNotTakePart) {
  std::byte* a = Add("a", 1);
  std::byte* b = Add("b", 1);
  buffer.SetFieldValue(a, 3, FieldValue::Bytes("zzz"));
  buffer.SetFieldValue(b, 3, FieldValue::Bytes("aaa"));
  EXPECT_EQ(buffer.CompareField(a, b, 3), 0);
  EXPECT_EQ(buffer.CompareRecords(a, b), 0);
}

TEST_F(SqlBufferSortTest, ReverseAndSortAgainAfterAnInsert) {
  Add("b", 1);
  Add("d", 2);
  Add("a", 3);
  buffer.SetSort("name", TSqlBuffer::kSortAscending);
  buffer.Reverse();
  EXPECT_TRUE(buffer.Reversed());
  EXPECT_EQ(Names(), (std::vector<std::string>{"d", "b", "a"}));
  Add("c", 4);
  buffer.SortAgain();
  EXPECT_EQ(Names(), (std::vector<std::string>{"d", "c", "b", "a"}));
  EXPECT_TRUE(buffer.Reversed());
  // Refiltering keeps both the order and the reversal.
  owner.accept = [&](const std::byte* r) {
    return buffer.GetFieldValue(r, kName) != FieldValue::Bytes("c");
  };
  buffer.Refilter();
  EXPECT_EQ(Names(), (std::vector<std::string>{"d", "b", "a"}));
  buffer.SetSort("name", TSqlBuffer::kSortAscending);
  EXPECT_FALSE(buffer.Reversed());
}

}  // namespace
}  // namespace tabulix::test
