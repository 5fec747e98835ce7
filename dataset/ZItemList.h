#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tabulix {

// A list of fixed-size items allocated in pages of 500 slots. Each slot is a one-byte tag
// followed by the item; an item is referred to by the address just after its tag, and that
// address never changes until the list is cleared. The storage array holds every slot ever
// handed out in allocation order; the visible list holds the items shown, in display order.
// A removed slot is only re-tagged and never reused before Clear.
class TZItemList {
 public:
  using FilterFunc = std::function<bool(const std::byte* item)>;
  using CompareFunc = std::function<int(const std::byte* a, const std::byte* b)>;

  static constexpr int kPageSlots = 500;
  static constexpr int kMaxListSize = 0x7FFFFFF;
  // Slot tags.
  static constexpr std::uint8_t kTagVisible = 1;
  static constexpr std::uint8_t kTagHidden = 2;
  static constexpr std::uint8_t kTagRemoved = 3;

  explicit TZItemList(int itemSize, std::byte fillByte = std::byte{0});
  TZItemList(const TZItemList&) = delete;
  TZItemList& operator=(const TZItemList&) = delete;
  virtual ~TZItemList() = default;

  int ItemSize() const { return itemSize_; }
  // Only an empty list takes a new item size; a filled one is cleared first.
  void SetItemSize(int itemSize);

  int Count() const { return static_cast<int>(visible_.size()); }         // visible items
  int StorageCount() const { return static_cast<int>(storage_.size()); }  // slots in use
  int Capacity() const { return static_cast<int>(pages_.size()) * kPageSlots; }
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Allocates pages until the capacity covers the request.
  void SetCapacity(int capacity);
  // Hands out slots until count are in use; each becomes visible at the end.
  void SetCount(int count);

  // The next free slot, visible at the end or at the given visible position.
  std::byte* Add();
  std::byte* Insert(int index);
  void Move(int currentIndex, int newIndex);
  // Marks the slot removed and takes it out of the visible list.
  void Delete(int index);
  // Removes the item wherever it is; returns its former visible position or -1.
  int Remove(std::byte* item);
  int IndexOf(const std::byte* item) const;  // visible position or -1
  std::byte* Items(int index) const;         // by visible position
  std::byte* StorageItems(int index) const;  // by storage position
  // Appends a hidden item to the visible list again; returns its new position.
  int Show(std::byte* item);

  static std::uint8_t Tag(const std::byte* item) { return static_cast<std::uint8_t>(*(item - 1)); }

  void SetFilter(FilterFunc filter) { filter_ = std::move(filter); }
  void SetCompare(CompareFunc compare) { compare_ = std::move(compare); }
  bool Sorted() const { return sorted_; }

  // Tests one visible item; when it fails it is hidden. True when it was hidden.
  bool FilterItem(int index);
  // Rebuilds the visible list from storage order, testing every slot that is not removed,
  // and sorts again when the list was sorted.
  void Refilter();
  // Visible list = every visible-tagged slot in storage order; the list is no longer sorted.
  void Rebuild();
  // Quicksort of the visible list with the compare function.
  void Sort();
  void Clear();
  // Empties the list as Clear does but keeps the first page and the room of the reference
  // arrays, for a list that is emptied after every use: the next items need no allocation.
  // The kept page is not filled again; its slots hold what the last items left there.
  void Recycle();
  // Gives the last slot handed out back when it holds item and the item is removed, so that
  // the next Add hands the same slot out again: a caller that drops each item it appended
  // keeps the storage from growing. Only for an item that nothing refers to any more. True
  // when the slot was given back.
  bool ReleaseLastSlot(const std::byte* item);

 protected:
  // Called by Refilter on a sorted list; a derived list may restore more of its order.
  virtual void Resort() { Sort(); }
  std::vector<std::byte*>& VisibleItems() { return visible_; }

 private:
  std::byte* NextSlot();
  void QuickSort(std::ptrdiff_t left, std::ptrdiff_t right);

  int itemSize_;
  std::byte fillByte_;
  std::vector<std::unique_ptr<std::byte[]>> pages_;
  std::vector<std::byte*> storage_;
  std::vector<std::byte*> visible_;
  FilterFunc filter_;
  CompareFunc compare_;
  bool sorted_ = false;
};

}  // namespace tabulix
