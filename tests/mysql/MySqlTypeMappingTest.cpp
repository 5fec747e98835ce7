#include "mysql/MySqlTypeMapping.h"

#include <gtest/gtest.h>

#include <string>

namespace tabulix {
namespace {

struct CodeCase {
  int code;
  unsigned flags;
  TFieldType expected;
};

class MySqlFieldTypeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(MySqlFieldTypeTest, MapsTypeCodeAndFlags) {
  const CodeCase& c = GetParam();
  EXPECT_EQ(MySqlFieldType(c.code, c.flags), c.expected) << "type code " << c.code;
}

INSTANTIATE_TEST_SUITE_P(
    ClientCodes, MySqlFieldTypeTest,
    ::testing::Values(
        CodeCase{0, 0, ftFloat}, CodeCase{4, 0, ftFloat}, CodeCase{5, 0, ftFloat},
        CodeCase{246, 0, ftFloat},  // DECIMAL as current servers send it
        CodeCase{1, 0, ftInteger}, CodeCase{2, 0, ftInteger}, CodeCase{3, 0, ftInteger},
        CodeCase{9, 0, ftInteger}, CodeCase{13, 0, ftInteger}, CodeCase{8, 0, ftLargeint},
        CodeCase{10, 0, ftDate}, CodeCase{14, 0, ftDate}, CodeCase{11, 0, ftTime},
        CodeCase{12, 0, ftDateTime}, CodeCase{249, 128, ftBlob}, CodeCase{250, 128, ftBlob},
        CodeCase{251, 128, ftBlob}, CodeCase{252, 128, ftBlob}, CodeCase{249, 0, ftMemo},
        CodeCase{250, 0, ftMemo}, CodeCase{251, 0, ftMemo},
        CodeCase{252, 16 | 1, ftMemo},  // flags other than binary do not count
        CodeCase{6, 0, ftString}, CodeCase{7, 0, ftString}, CodeCase{247, 0, ftString},
        CodeCase{248, 0, ftString}, CodeCase{253, 128, ftString}, CodeCase{254, 0, ftString},
        CodeCase{15, 0, ftString}, CodeCase{255, 0, ftString}));

struct NameCase {
  const char* typeName;
  TFieldType expected;
  int size;
  int scale;
};

class MySqlTypeNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(MySqlTypeNameTest, MapsTypeTextToTypeSizeAndScale) {
  const NameCase& c = GetParam();
  int size = -1;
  int scale = -1;
  EXPECT_EQ(MySqlTypeNameToFieldType(c.typeName, size, scale), c.expected) << c.typeName;
  EXPECT_EQ(size, c.size) << c.typeName;
  EXPECT_EQ(scale, c.scale) << c.typeName;
}

INSTANTIATE_TEST_SUITE_P(
    ShowColumnsTexts, MySqlTypeNameTest,
    ::testing::Values(
        NameCase{"bigint(20)", ftLargeint, 0, 0}, NameCase{"bigint(20) unsigned", ftLargeint, 0, 0},
        NameCase{"tinyint(1)", ftInteger, 0, 0}, NameCase{"int(11)", ftInteger, 0, 0},
        NameCase{"mediumint(8) unsigned", ftInteger, 0, 0}, NameCase{"year(4)", ftInteger, 0, 0},
        NameCase{"point", ftInteger, 0, 0},  // it contains "int"
        NameCase{"ENUM('Y','N')", ftBoolean, 0, 0}, NameCase{"enum('n','y')", ftBoolean, 0, 0},
        NameCase{"enum('T','f')", ftBoolean, 0, 0}, NameCase{"enum('f','t')", ftBoolean, 0, 0},
        NameCase{"enum('yes','no')", ftString, 3, 0}, NameCase{"enum('a','bb','')", ftString, 2, 0},
        NameCase{"decimal(10,2)", ftFloat, 0, 2}, NameCase{"numeric(8,3)", ftFloat, 0, 3},
        NameCase{"double", ftFloat, 0, 4}, NameCase{"float(7,1)", ftFloat, 0, 1},
        NameCase{"real", ftFloat, 0, 4}, NameCase{"char(10)", ftString, 10, 0},
        NameCase{"char", ftString, 50, 0}, NameCase{"char(x)", ftString, 50, 0},
        NameCase{"varchar(255) binary", ftString, 255, 0}, NameCase{"varchar", ftString, 50, 0},
        NameCase{"date", ftDate, 0, 0}, NameCase{"datetime", ftDateTime, 0, 0},
        NameCase{"time", ftTime, 0, 0}, NameCase{"timestamp(14)", ftDateTime, 0, 0},
        NameCase{"datetime(3)", ftDateTime, 0, 0}, NameCase{"time(3)", ftTime, 0, 0},
        NameCase{"timestamp", ftDateTime, 0, 0}, NameCase{"longtext", ftMemo, 0, 0},
        NameCase{"text", ftMemo, 0, 0}, NameCase{"mediumblob", ftBlob, 0, 0},
        NameCase{"tinyblob", ftBlob, 0, 0}, NameCase{"set('a','b')", ftString, 8, 0},
        NameCase{"geometry", ftUnknown, 0, 0},
        NameCase{"DATE", ftUnknown, 0, 0},  // only the boolean enums ignore letter case
        NameCase{"", ftUnknown, 0, 0}));

TEST(EnumMaxLength, LongestValueWithoutQuotes) {
  EXPECT_EQ(EnumMaxLength("enum('yes','no')"), 3);
  EXPECT_EQ(EnumMaxLength("enum('a','abcdef','abc')"), 6);
  EXPECT_EQ(EnumMaxLength("enum()"), 0);
  EXPECT_EQ(EnumMaxLength("enum"), 0);
  EXPECT_EQ(EnumMaxLength(""), 0);
}

TEST(EnumMaxLength, ValueWithCommaCountsAsTwoItems) {
  // 'a,bcd' is cut at the comma into 'a and bcd' (the quote stays on one side).
  EXPECT_EQ(EnumMaxLength("enum('a,bcd','x')"), 4);
}

}  // namespace
}  // namespace tabulix
