#include "app/core/ValueWarningLines.h"

#include <gtest/gtest.h>

namespace tabulix::app {
namespace {

using source::ValueProblem;
using source::ValueWarning;

TEST(ValueWarningLinesTest, StoredBytesShowAsTextWithTheRestEscaped) {
  const struct {
    std::string stored;
    std::string shown;
  } cases[] = {
      {"1,200.00", "1,200.00"},
      {std::string("a`b\\c\0\x7F\xC3", 8), "a\\x60b\\x5Cc\\x00\\x7F\\xC3"},
      {std::string(41, 'x'), std::string(40, 'x') + "..."},  // the reader keeps 41 to show a cut
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ShownBytes(c.stored), c.shown);
}

TEST(ValueWarningLinesTest, OneValueAndManyReadDifferently) {
  ValueWarning bcd{0, ValueProblem::BadBcdDigit, 1, 7, "\xC2"};
  EXPECT_EQ(WarningLine(bcd, "Amount", "CP850", ""),
            "Amount: 1 value holds a BCD digit above 9, read as null (first: record 7, `\\xC2`)");
  ValueWarning memo{0, ValueProblem::MemoFileMissing, 3, 2, ""};
  EXPECT_EQ(WarningLine(memo, "Notes", "CP850", "t.mb"),
            "Notes: 3 values are in the missing memo file t.mb, read as null (first: record 2)");
}

}  // namespace
}  // namespace tabulix::app
