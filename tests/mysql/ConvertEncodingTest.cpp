#include "mysql/ConvertEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace tabulix {
namespace {

// "Привет" in three Cyrillic code pages.
const std::string kPrivetCp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
const std::string kPrivetKoi8r = "\xF0\xD2\xC9\xD7\xC5\xD4";
const std::string kPrivet866 = "\x8F\xE0\xA8\xA2\xA5\xE2";
// "ŁódźŠ" in Windows-1250 and ISO 8859-2.
const std::string kLodzCp1250 = "\xA3\xF3\x64\x9F\x8A";
const std::string kLodzIso88592 = "\xA3\xF3\x64\xBC\xA9";

TEST(ConvertEncoding, CyrillicLettersBetweenCodePages) {
  EXPECT_EQ(ConvertEncoding(kPrivetCp1251, etNone, etKoi8r), kPrivetKoi8r);
  EXPECT_EQ(ConvertEncoding(kPrivetCp1251, etCp1251, etKoi8r), kPrivetKoi8r);
  EXPECT_EQ(ConvertEncoding(kPrivetKoi8r, etKoi8r, etNone), kPrivetCp1251);
  EXPECT_EQ(ConvertEncoding(kPrivetKoi8r, etKoi8r, etCp1251), kPrivetCp1251);
  EXPECT_EQ(ConvertEncoding(kPrivetCp1251, etNone, et866), kPrivet866);
  EXPECT_EQ(ConvertEncoding(kPrivet866, et866, etNone), kPrivetCp1251);
  EXPECT_EQ(ConvertEncoding(kPrivet866, et866, etKoi8r), kPrivetKoi8r);
  EXPECT_EQ(ConvertEncoding(kPrivetKoi8r, etKoi8r, et866), kPrivet866);
}

TEST(ConvertEncoding, UkrainianLettersOfKoi8u) {
  // ї, Ґ and Ё.
  EXPECT_EQ(ConvertEncoding("\xBF\xA5\xA8", etNone, etKoi8u), "\xA7\xBD\xB3");
  EXPECT_EQ(ConvertEncoding("\xA7\xBD\xB3", etKoi8u, etNone), "\xBF\xA5\xA8");
}

TEST(ConvertEncoding, LatinTwoPairsUseWindows1250) {
  EXPECT_EQ(ConvertEncoding(kLodzCp1250, etNone, etIso88592), kLodzIso88592);
  EXPECT_EQ(ConvertEncoding(kLodzCp1250, etCp1250, etIso88592), kLodzIso88592);
  EXPECT_EQ(ConvertEncoding(kLodzIso88592, etIso88592, etNone), kLodzCp1250);
}

TEST(ConvertEncoding, AsciiAndMissingCharactersStay) {
  EXPECT_EQ(ConvertEncoding("SELECT 1;", etNone, etKoi8r), "SELECT 1;");
  // The euro sign of Windows-1251 has no place in KOI8-R.
  EXPECT_EQ(ConvertEncoding("\x88", etNone, etKoi8r), "\x88");
}

TEST(ConvertEncoding, EmptyTextAndEqualEncodingsUnchanged) {
  EXPECT_EQ(ConvertEncoding("", etNone, etKoi8r), "");
  EXPECT_EQ(ConvertEncoding(kPrivetKoi8r, etKoi8r, etKoi8r), kPrivetKoi8r);
}

TEST(ConvertEncoding, BytesAfterAZeroByteAreConvertedToo) {
  const std::string text = kPrivetCp1251 + std::string(1, '\0') + kPrivetCp1251;
  EXPECT_EQ(ConvertEncoding(text, etNone, etKoi8r),
            kPrivetKoi8r + std::string(1, '\0') + kPrivetKoi8r);
}

// Which source and target pairs have a table: every other pair leaves all bytes alone.
TEST(ConvertEncoding, OnlyTheFourteenPairsConvert) {
  std::string upperHalf;
  for (int b = 128; b < 256; ++b) upperHalf += static_cast<char>(b);
  const TEncodingType all[] = {etNone, et866, etKoi8r, etKoi8u, etCp1251, etIso88592, etCp1250};
  struct Pair {
    TEncodingType source;
    TEncodingType target;
  };
  const Pair withTable[] = {
      {etNone, et866},       {etNone, etKoi8r},   {etNone, etKoi8u},      {etNone, etIso88592},
      {etCp1251, et866},     {etCp1251, etKoi8r}, {etCp1251, etKoi8u},    {et866, etNone},
      {et866, etKoi8r},      {etKoi8r, etNone},   {etKoi8r, etCp1251},    {etKoi8r, et866},
      {etKoi8r, etIso88592}, {etKoi8r, etCp1250}, {etKoi8u, etNone},      {etIso88592, etNone},
      {etIso88592, etKoi8r}, {etCp1250, etKoi8r}, {etCp1250, etIso88592},
  };
  for (TEncodingType source : all) {
    for (TEncodingType target : all) {
      bool expected = false;
      for (const Pair& p : withTable) expected |= p.source == source && p.target == target;
      const bool converts = ConvertEncoding(upperHalf, source, target) != upperHalf;
      EXPECT_EQ(converts, expected) << "from " << int(source) << " to " << int(target);
    }
  }
}

TEST(ConvertEncoding, TablesOfTheSameMappingAgree) {
  std::string upperHalf;
  for (int b = 128; b < 256; ++b) upperHalf += static_cast<char>(b);
  EXPECT_EQ(ConvertEncoding(upperHalf, etNone, et866), ConvertEncoding(upperHalf, etCp1251, et866));
  EXPECT_EQ(ConvertEncoding(upperHalf, etKoi8r, etNone),
            ConvertEncoding(upperHalf, etKoi8r, etCp1251));
  EXPECT_EQ(ConvertEncoding(upperHalf, etNone, etIso88592),
            ConvertEncoding(upperHalf, etCp1250, etIso88592));
}

}  // namespace
}  // namespace tabulix
