#include "dataset/ZItemList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "framework/Exceptions.h"

namespace tabulix {
namespace {

// Items hold one int; helpers read and write it.
int Value(const std::byte* item) {
  int v;
  std::memcpy(&v, item, sizeof v);
  return v;
}
std::byte* Put(std::byte* item, int v) {
  std::memcpy(item, &v, sizeof v);
  return item;
}
std::vector<int> VisibleValues(const TZItemList& list) {
  std::vector<int> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(Value(list.Items(i)));
  return out;
}

void ExpectListError(const std::function<void()>& action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no error, expected " << message;
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

TEST(ItemList, SlotsAreTagPlusItemInPagesOf500) {
  TZItemList list(6, std::byte{0xAB});
  std::byte* first = list.Add();
  std::byte* second = list.Add();
  EXPECT_EQ(second - first, 7);  // item size + tag byte
  EXPECT_EQ(TZItemList::Tag(first), TZItemList::kTagVisible);
  EXPECT_EQ(first[3], std::byte{0xAB});  // fresh pages carry the fill byte
  EXPECT_EQ(list.PageCount(), 1);
  EXPECT_EQ(list.Capacity(), 500);

  for (int i = 2; i < 500; ++i) list.Add();
  EXPECT_EQ(list.PageCount(), 1);
  std::byte* last = list.Items(499);
  EXPECT_EQ(last - first, 499 * 7);
  list.Add();  // the 501st
  EXPECT_EQ(list.PageCount(), 2);
  EXPECT_EQ(list.Capacity(), 1000);
  EXPECT_EQ(list.StorageCount(), 501);
  // Earlier items do not move when a page is added.
  EXPECT_EQ(list.Items(0), first);
  EXPECT_EQ(list.Items(499), last);
}

TEST(ItemList, InsertMoveDeleteWorkOnTheVisibleList) {
  TZItemList list(sizeof(int));
  for (int v : {10, 20, 30}) Put(list.Add(), v);
  Put(list.Insert(1), 15);
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{10, 15, 20, 30}));
  list.Move(0, 3);
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{15, 20, 30, 10}));
  list.Move(3, 1);
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{15, 10, 20, 30}));

  std::byte* removed = list.Items(1);
  list.Delete(1);
  EXPECT_EQ(TZItemList::Tag(removed), TZItemList::kTagRemoved);
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{15, 20, 30}));
  EXPECT_EQ(list.IndexOf(removed), -1);

  // A removed slot is not handed out again.
  std::byte* next = list.Add();
  EXPECT_NE(next, removed);
  EXPECT_EQ(list.StorageCount(), 5);
  EXPECT_EQ(list.Remove(list.Items(0)), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Remove(removed), -1);
}

TEST(ItemList, ErrorsNameTheOffendingValueAndChangeNothing) {
  TZItemList list(4);
  list.Add();
  list.Add();
  ExpectListError([&] { list.Items(2); }, "List Index Error at 2");
  ExpectListError([&] { list.Items(-1); }, "List Index Error at -1");
  ExpectListError([&] { list.Insert(3); }, "List Index Error at 3");
  ExpectListError([&] { list.Move(0, 5); }, "List Index Error at 5");
  ExpectListError([&] { list.Delete(7); }, "List Index Error at 7");
  ExpectListError([&] { list.StorageItems(2); }, "List Index Error at 2");
  ExpectListError([&] { list.SetCapacity(1); }, "List Capacity Error at 1");
  ExpectListError([&] { list.SetCapacity(0x8000000); }, "List Capacity Error at 134217728");
  ExpectListError([&] { list.SetCount(2); }, "List Count Error at 2");
  ExpectListError([&] { list.SetCount(0x8000000); }, "List Count Error at 134217728");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.StorageCount(), 2);
  EXPECT_EQ(list.Capacity(), 500);

  list.SetCount(4);
  EXPECT_EQ(list.Count(), 4);
  list.SetCapacity(1200);
  EXPECT_EQ(list.PageCount(), 3);
}

TEST(ItemList, FilterHidesAndRefilterRebuildsFromStorageOrder) {
  TZItemList list(sizeof(int));
  for (int v : {1, 2, 3, 4, 5, 6}) Put(list.Add(), v);
  list.Move(5, 0);  // display order differs from storage order
  int threshold = 3;
  list.SetFilter([&](const std::byte* item) { return Value(item) <= threshold; });

  EXPECT_FALSE(list.FilterItem(1));  // 1 passes
  std::byte* six = list.Items(0);
  EXPECT_TRUE(list.FilterItem(0));  // 6 fails
  EXPECT_EQ(TZItemList::Tag(six), TZItemList::kTagHidden);
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{1, 2, 3, 4, 5}));

  list.Delete(1);  // 2 removed: stays out whatever the filter says
  threshold = 10;
  list.Refilter();
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{1, 3, 4, 5, 6}));
  threshold = 4;
  list.Refilter();
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(TZItemList::Tag(six), TZItemList::kTagHidden);

  EXPECT_EQ(list.Show(six), 3);
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{1, 3, 4, 6}));

  list.Rebuild();  // every visible-tagged slot, storage order
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{1, 3, 4, 6}));
}

TEST(ItemList, SortOrdersTheVisibleListAndRefilterKeepsIt) {
  TZItemList list(sizeof(int));
  for (int v : {5, 3, 9, 1, 7}) Put(list.Add(), v);
  list.SetCompare([](const std::byte* a, const std::byte* b) { return Value(a) - Value(b); });
  EXPECT_FALSE(list.Sorted());
  list.Sort();
  EXPECT_TRUE(list.Sorted());
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{1, 3, 5, 7, 9}));

  list.SetFilter([](const std::byte* item) { return Value(item) != 5; });
  list.Refilter();
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{1, 3, 7, 9}));
  list.Rebuild();
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(VisibleValues(list), (std::vector<int>{3, 9, 1, 7}));
}

TEST(ItemList, SortSurvivesAComparisonThatIsNotAStrictOrder) {
  // Values within 3 of each other compare equal, as date-times within a second do.
  TZItemList list(sizeof(int));
  std::multiset<int> expected;
  unsigned seed = 12345;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245u + 12345u;
    int v = static_cast<int>(seed >> 16) % 200;
    Put(list.Add(), v);
    expected.insert(v);
  }
  list.SetCompare([](const std::byte* a, const std::byte* b) {
    int d = Value(a) - Value(b);
    return d > 3 ? 1 : (d < -3 ? -1 : 0);
  });
  list.Sort();
  auto values = VisibleValues(list);
  // Every item is still there exactly once (and the scans stayed inside the list).
  EXPECT_EQ(std::multiset<int>(values.begin(), values.end()), expected);
}

TEST(ItemList, SortOfAlreadyOrderedAndEqualItems) {
  TZItemList list(sizeof(int));
  for (int i = 0; i < 2000; ++i) Put(list.Add(), i < 1000 ? i : 7);
  list.SetCompare([](const std::byte* a, const std::byte* b) { return Value(a) - Value(b); });
  list.Sort();
  auto values = VisibleValues(list);
  EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
}

TEST(ItemList, ClearFreesEveryPageAndNewItemSizeStartsEmpty) {
  TZItemList list(8);
  for (int i = 0; i < 1200; ++i) list.Add();
  EXPECT_EQ(list.PageCount(), 3);
  list.Clear();
  EXPECT_EQ(list.PageCount(), 0);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.StorageCount(), 0);
  list.Add();
  list.SetItemSize(20);
  EXPECT_EQ(list.StorageCount(), 0);
  std::byte* a = list.Add();
  std::byte* b = list.Add();
  EXPECT_EQ(b - a, 21);
}

}  // namespace
}  // namespace tabulix
