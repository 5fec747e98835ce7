#include "framework/StringList.h"

#include <gtest/gtest.h>

#include "framework/Exceptions.h"

namespace tabulix {
namespace {

TEST(StringList, TextJoinsWithCrLfAndSplitsAnyLineBreak) {
  StringList list;
  list.SetText("a\r\nb\nc\rd");
  ASSERT_EQ(list.Count(), 4u);
  EXPECT_EQ(list[3], "d");
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
  list.SetText("x\r\n\r\n");
  EXPECT_EQ(list.Count(), 2u);
  EXPECT_EQ(list[1], "");
}

TEST(StringList, NotifiesOncePerChangeOrBatch) {
  StringList list;
  int changes = 0;
  list.SetOnChange([&](StringList&) { ++changes; });
  list.Add("one");
  list.Insert(0, "zero");
  EXPECT_EQ(changes, 2);
  list.BeginUpdate();
  list.Add("two");
  list.Delete(0);
  EXPECT_EQ(changes, 2);
  list.EndUpdate();
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(list.IndexOf("TWO"), 1);
  EXPECT_EQ(list.IndexOf("three"), -1);
}

TEST(StringList, OutOfRangeRaisesListError) {
  StringList list{"a"};
  EXPECT_THROW(list[1], EListError);
  EXPECT_THROW(list.Delete(5), EListError);
  try {
    list.Set(7, "x");
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List Index Error at 7");
  }
}

}  // namespace
}  // namespace tabulix
