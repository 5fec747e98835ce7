#include "app/core/TypeTables.h"

#include <gtest/gtest.h>

namespace tabulix::app {
namespace {

struct TypeRow {
  TFieldType type;
  const char* name;
  const char* mySqlType;  // for a size of 20 where the type has a length
  const char* key;
};

const TypeRow kRows[] = {
    {ftUnknown, "unknown", "", ""},
    {ftString, "char", "char(20)", ""},
    {ftSmallint, "16Bit-Int", "smallint", ""},
    {ftInteger, "32Bit-Int", "int", ""},
    {ftWord, "word", "smallint unsigned", ""},
    {ftBoolean, "bool", "bool", ""},
    {ftFloat, "float", "double", ""},
    {ftCurrency, "currency", "decimal(19,4)", ""},
    {ftBCD, "bcd", "decimal(32,4)", ""},
    {ftDate, "date", "date", ""},
    {ftTime, "time", "time(3)", ""},
    {ftDateTime, "datetime", "datetime(3)", ""},
    {ftBytes, "bytes", "blob", ""},
    {ftVarBytes, "", "", ""},
    {ftAutoInc, "autoincr", "int not null auto_increment", "KEY"},
    {ftBlob, "blob", "longblob", ""},
    {ftMemo, "memo", "mediumtext", ""},
    {ftGraphic, "graphic", "longblob", ""},
    {ftFmtMemo, "fmtmemo", "longblob", ""},
    {ftParadoxOle, "ole", "longblob", ""},
    {ftDBaseOle, "ole", "longblob", ""},
    {ftTypedBinary, "typedbinary", "longblob", ""},
    {ftCursor, "", "", ""},
    {ftFixedChar, "", "", ""},
    {ftWideString, "", "", ""},
    {ftLargeint, "64Bit-Int", "bigint", ""},
    {ftADT, "", "", ""},
    {ftArray, "", "", ""},
    {ftReference, "", "", ""},
    {ftDataSet, "", "", ""},
};

class TypeTablesTest : public ::testing::TestWithParam<TypeRow> {};

TEST_P(TypeTablesTest, NameColumnTypeAndKeyMark) {
  const TypeRow& row = GetParam();
  EXPECT_EQ(SourceTypeName(row.type), row.name);
  EXPECT_EQ(MySqlColumnType(row.type, 20), row.mySqlType);
  EXPECT_EQ(KeyMark(row.type), row.key);
  // The column type follows from the name alone (and the length for char).
  EXPECT_EQ(MySqlTypeForTypeName(row.name, "20"), row.mySqlType);
}

INSTANTIATE_TEST_SUITE_P(EveryFieldType, TypeTablesTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::to_string(info.param.type); });

TEST(TypeTablesNameTest, NamesCompareExactlyAndWithCase) {
  EXPECT_EQ(MySqlTypeForTypeName("Char", "20"), "");
  EXPECT_EQ(MySqlTypeForTypeName("char ", "20"), "");
  EXPECT_EQ(MySqlTypeForTypeName("", ""), "");
  EXPECT_EQ(MySqlTypeForTypeName("FLOAT", ""), "");
}

TEST(TypeTablesNameTest, CharTakesTheLengthTextAsItStandsAndAnEmptyOneAsZero) {
  EXPECT_EQ(MySqlTypeForTypeName("char", "255"), "char(255)");
  EXPECT_EQ(MySqlTypeForTypeName("char", ""), "char(0)");
  EXPECT_EQ(MySqlColumnType(ftString, 0), "char(0)");
}

TEST(TypeTablesNameTest, OrdinalsOutsideTheEnumerationHaveNoName) {
  EXPECT_EQ(SourceTypeName(static_cast<TFieldType>(30)), "");
  EXPECT_EQ(SourceTypeName(static_cast<TFieldType>(-1)), "");
}

}  // namespace
}  // namespace tabulix::app
