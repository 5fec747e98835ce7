// The pure parts of the dBase reader: value decoding, numeric field types, the record index,
// code page tables.
#include <gtest/gtest.h>

#include "framework/DateTime.h"
#include "source/dbase/DbaseColumn.h"
#include "source/dbase/LanguageDriver.h"
#include "source/dbase/LiveRecordIndex.h"
#include "source/dbase/ValueDecoding.h"
#include "tests/source/DbaseTestTables.h"

namespace tabulix::source::dbase {
namespace {

using dbase_test::Hex;

TEST(DbaseValueDecoding, Numbers) {
  struct Case {
    std::string text;
    std::optional<double> value;
  };
  for (const Case& c : std::vector<Case>{{"   87", 87},
                                         {"  -1.25", -1.25},
                                         {"+3.5 ", 3.5},
                                         {"1e3", 1000},
                                         {"5.", 5},
                                         {".5", 0.5},
                                         {"", std::nullopt},
                                         {"    ", std::nullopt},
                                         {"-", std::nullopt},
                                         {".", std::nullopt},
                                         {"1.2.3", std::nullopt},
                                         {"nan", std::nullopt},
                                         {"1e999", std::nullopt},
                                         {"12-", std::nullopt},
                                         {"0x10", std::nullopt}}) {
    EXPECT_EQ(ParseNumber(c.text), c.value) << "'" << c.text << "'";
  }
}

TEST(DbaseValueDecoding, WholeNumbers) {
  EXPECT_EQ(ParseWholeNumber("  123456789012345678"), 123456789012345678LL);
  EXPECT_EQ(ParseWholeNumber("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(ParseWholeNumber("  7.00"), 7);
  EXPECT_EQ(ParseWholeNumber("99999999999999999999"), std::nullopt);
  EXPECT_EQ(ParseWholeNumber("7.5"), std::nullopt);
  EXPECT_EQ(ParseWholeNumber("   "), std::nullopt);
}

TEST(DbaseValueDecoding, Dates) {
  EXPECT_EQ(ParseDate("20050712"), EncodeDate(2005, 7, 12));
  EXPECT_EQ(ParseDate("00010101"), EncodeDate(1, 1, 1));
  EXPECT_EQ(ParseDate("        "), std::nullopt);
  EXPECT_EQ(ParseDate("00000000"), std::nullopt);
  EXPECT_EQ(ParseDate("20051301"), std::nullopt);
  EXPECT_EQ(ParseDate("2005071"), std::nullopt);
  EXPECT_EQ(ParseDate("2005-7-1"), std::nullopt);
}

TEST(DbaseValueDecoding, Logicals) {
  for (char c : std::string("TtYy")) EXPECT_EQ(ParseLogical(std::string(1, c)), true) << c;
  for (char c : std::string("FfNn")) EXPECT_EQ(ParseLogical(std::string(1, c)), false) << c;
  for (char c : std::string(" ?xp4\0", 6)) {
    EXPECT_EQ(ParseLogical(std::string(1, c)), std::nullopt) << int{c};
  }
}

TEST(DbaseValueDecoding, MemoBlocks) {
  EXPECT_EQ(ParseMemoBlock("         8"), 8u);
  EXPECT_EQ(ParseMemoBlock("0000000587"), 587u);
  EXPECT_EQ(ParseMemoBlock("          "), 0u);
  EXPECT_EQ(ParseMemoBlock(std::string(10, '\0')), 0u);
  EXPECT_EQ(ParseMemoBlock(Hex("08 00 00 00")), 8u);
  EXPECT_EQ(ParseMemoBlock(Hex("00 00 00 80")), 0x80000000u);
  EXPECT_EQ(ParseMemoBlock("    -1    "), std::nullopt);
  EXPECT_EQ(ParseMemoBlock("  1 2     "), std::nullopt);
  EXPECT_EQ(ParseMemoBlock("9999999999"), std::nullopt);  // beyond 32 bits
}

TEST(DbaseValueDecoding, Dbase7Values) {
  EXPECT_EQ(DecodeDbase7Integer(Hex("80 00 00 01")), 1);
  EXPECT_EQ(DecodeDbase7Integer(Hex("7F FF FF FF")), -1);
  EXPECT_EQ(DecodeDbase7Integer(Hex("00 00 00 01")), -2147483647);
  EXPECT_EQ(DecodeDbase7Integer(Hex("00 00 00 00")), std::nullopt);
  EXPECT_EQ(DecodeDbase7Double(Hex("3F 97 00 51 EB 85 1E B7")), -199.99);
  EXPECT_EQ(DecodeDbase7Double(Hex("C0 45 D3 33 33 33 33 33")), 43.65);
  EXPECT_EQ(DecodeDbase7Double(Hex("80 00 00 00 00 00 00 00")), 0.0);
  EXPECT_EQ(DecodeDbase7Double(Hex("FF F0 00 00 00 00 00 00")), std::nullopt);  // infinity
  EXPECT_EQ(DecodeDbase7Timestamp(Hex("42 CC F9 BD CA A9 D0 00")),
            ComposeDateTime(EncodeDate(2020, 2, 20), EncodeTime(20, 20, 20, 0)));
  EXPECT_EQ(DecodeDbase7Timestamp(Hex("00 00 00 00 00 00 00 00")), std::nullopt);
  EXPECT_EQ(DecodeDbase7Timestamp(Hex("BF F0 00 00 00 00 00 00")), std::nullopt);  // -1 ms
  EXPECT_EQ(DecodeDbase7Timestamp(Hex("7F F8 00 00 00 00 00 00")), std::nullopt);  // NaN
}

TEST(DbaseValueDecoding, VisualFoxProValues) {
  EXPECT_EQ(DecodeVfpDateTime(Hex("01 4B 24 00 C8 DC 37 00")),
            ComposeDateTime(EncodeDate(1800, 1, 1), EncodeTime(1, 1, 1, 0)));
  EXPECT_EQ(DecodeVfpDateTime(Hex("00 00 00 00 00 00 00 00")), std::nullopt);
  EXPECT_EQ(DecodeVfpDateTime(Hex("56 71 25 00 00 5C 26 05")), std::nullopt);  // 24:00
  EXPECT_EQ(DecodeVfpDateTime(Hex("FF FF FF 7F 00 00 00 00")), std::nullopt);  // year > 9999
  EXPECT_EQ(DecodeVfpCurrency(Hex("20 BF 02 00 00 00 00 00")), 18.0);
  EXPECT_EQ(DecodeVfpCurrency(Hex("F0 D8 FF FF FF FF FF FF")), -1.0);
  EXPECT_EQ(DecodeVfpDouble(Hex("66 66 66 66 66 66 02 40")), 2.3);
  EXPECT_EQ(DecodeVfpInteger(Hex("FE FF FF FF")), -2);
}

TEST(DbaseFieldTypes, NumericTypeByWidth) {
  struct Case {
    int width, decimals;
    TFieldType type;
  };
  for (const Case& c :
       {Case{1, 0, ftSmallint}, Case{4, 0, ftSmallint}, Case{5, 0, ftInteger},
        Case{9, 0, ftInteger}, Case{10, 0, ftLargeint}, Case{18, 0, ftLargeint},
        Case{19, 0, ftFloat}, Case{20, 0, ftFloat}, Case{2, 1, ftFloat}, Case{20, 18, ftFloat}}) {
    EXPECT_EQ(NumericFieldType(c.width, c.decimals), c.type) << c.width << "," << c.decimals;
  }
}

TEST(DbaseLiveRecordIndex, MapsLiveRecordsPastDeletedOnes) {
  // Records 0..9, deleted: 0, 3, 4, 9.
  LiveRecordIndex index({0, 3, 4, 9}, 10);
  ASSERT_EQ(index.LiveCount(), 6);
  std::vector<std::uint32_t> physical;
  for (std::int64_t n = 0; n < index.LiveCount(); ++n) physical.push_back(index.Physical(n));
  EXPECT_EQ(physical, (std::vector<std::uint32_t>{1, 2, 5, 6, 7, 8}));
  LiveRecordIndex none({}, 3);
  EXPECT_EQ(none.Physical(2), 2u);
  EXPECT_EQ(LiveRecordIndex({0, 1, 2}, 3).LiveCount(), 0);
}

TEST(DbaseCodePages, LanguageDriverIds) {
  struct Case {
    std::uint8_t id;
    int codePage;
  };
  for (const Case& c :
       {Case{0x00, 0}, Case{0x01, 437}, Case{0x02, 850}, Case{0x03, 1252}, Case{0x04, 10000},
        Case{0x26, 866}, Case{0x57, 1252}, Case{0x64, 852}, Case{0x65, 866}, Case{0x68, 895},
        Case{0x69, 620}, Case{0x7B, 932}, Case{0x96, 10007}, Case{0xC8, 1250}, Case{0xC9, 1251},
        Case{0xCC, 1257}, Case{0xF0, 0}}) {
    EXPECT_EQ(LanguageDriverCodePage(c.id), c.codePage) << int{c.id};
  }
}

TEST(DbaseCodePages, Dbase7DriverNames) {
  EXPECT_EQ(DriverNameCodePage("DB437US0"), 437);
  EXPECT_EQ(DriverNameCodePage("DB866RU0"), 866);
  EXPECT_EQ(DriverNameCodePage("db850de0"), 850);
  EXPECT_EQ(DriverNameCodePage("DBWINUS0"), 1252);
  EXPECT_EQ(DriverNameCodePage("ANSIINTL"), 1252);
  EXPECT_EQ(DriverNameCodePage(""), 0);
  EXPECT_EQ(DriverNameCodePage("DBHEBREW"), 0);
}

TEST(DbaseCodePages, EncodingNames) {
  EXPECT_EQ(CodePageEncodingName(437), "CP437");
  EXPECT_EQ(CodePageEncodingName(10000), "MACINTOSH");
  EXPECT_EQ(CodePageEncodingName(10029), "MAC-CENTRALEUROPE");
  EXPECT_EQ(CodePageEncodingName(65001), "UTF-8");
}

TEST(DbaseCodePages, CpgFileTexts) {
  struct Case {
    std::string text, name;
  };
  for (const Case& c : std::vector<Case>{{"1251", "CP1251"},
                                         {" 1252\r\n", "CP1252"},
                                         {"CP866", "CP866"},
                                         {"ANSI 1251", "CP1251"},
                                         {"UTF-8", "UTF-8"},
                                         {"utf8", "UTF-8"},
                                         {"65001", "UTF-8"},
                                         {"88591", "ISO-8859-1"},
                                         {"885915", "ISO-8859-15"},
                                         {"ISO-8859-2", "ISO-8859-2"},
                                         {"\xEF\xBB\xBFUTF-8", "UTF-8"},
                                         {"1250\nsecond line", "CP1250"},
                                         {"", ""},
                                         {" \r\n", ""}}) {
    EXPECT_EQ(CpgEncodingName(c.text), c.name) << "'" << c.text << "'";
  }
}

}  // namespace
}  // namespace tabulix::source::dbase
