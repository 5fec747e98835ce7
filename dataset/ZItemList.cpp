#include "dataset/ZItemList.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"

namespace tabulix {
namespace {

[[noreturn]] void ListError(const char* pattern, std::int64_t value) {
  throw EListError(FormatMessage(pattern, {std::to_string(value)}));
}

[[noreturn]] void IndexError(std::int64_t index) {
  ListError("List Index Error at %d", index);
}

void SetTag(std::byte* item, std::uint8_t tag) {
  *(item - 1) = std::byte{tag};
}

}  // namespace

TZItemList::TZItemList(int itemSize, std::byte fillByte)
    : itemSize_(std::max(itemSize, 0)), fillByte_(fillByte) {}

void TZItemList::SetItemSize(int itemSize) {
  if (itemSize == itemSize_) return;
  Clear();
  itemSize_ = std::max(itemSize, 0);
}

void TZItemList::SetCapacity(int capacity) {
  if (capacity < StorageCount() || capacity > kMaxListSize) {
    ListError("List Capacity Error at %d", capacity);
  }
  const std::size_t slotSize = static_cast<std::size_t>(itemSize_) + 1;
  while (Capacity() < capacity) {
    auto page = std::make_unique_for_overwrite<std::byte[]>(slotSize * kPageSlots);
    std::memset(page.get(), static_cast<int>(fillByte_), slotSize * kPageSlots);
    pages_.push_back(std::move(page));
  }
}

void TZItemList::SetCount(int count) {
  if (count <= StorageCount() || count > kMaxListSize) ListError("List Count Error at %d", count);
  storage_.reserve(static_cast<std::size_t>(count));
  while (StorageCount() < count) Add();
}

std::byte* TZItemList::NextSlot() {
  const int used = StorageCount();
  if (used >= kMaxListSize) ListError("List Count Error at %d", std::int64_t{used} + 1);
  if (used == Capacity()) SetCapacity(std::min(Capacity() + kPageSlots, kMaxListSize));
  const std::size_t slotSize = static_cast<std::size_t>(itemSize_) + 1;
  std::byte* slot = pages_[static_cast<std::size_t>(used / kPageSlots)].get() +
                    static_cast<std::size_t>(used % kPageSlots) * slotSize;
  std::byte* item = slot + 1;
  SetTag(item, kTagVisible);
  storage_.push_back(item);
  return item;
}

std::byte* TZItemList::Add() {
  return Insert(Count());
}

std::byte* TZItemList::Insert(int index) {
  if (index < 0 || index > Count()) IndexError(index);
  std::byte* item = NextSlot();
  try {
    visible_.insert(visible_.begin() + index, item);
  } catch (...) {
    storage_.pop_back();  // the slot was never handed out
    throw;
  }
  return item;
}

void TZItemList::Move(int currentIndex, int newIndex) {
  if (currentIndex < 0 || currentIndex >= Count()) IndexError(currentIndex);
  if (newIndex < 0 || newIndex >= Count()) IndexError(newIndex);
  if (currentIndex == newIndex) return;
  auto at = visible_.begin();
  if (currentIndex < newIndex) {
    std::rotate(at + currentIndex, at + currentIndex + 1, at + newIndex + 1);
  } else {
    std::rotate(at + newIndex, at + currentIndex, at + currentIndex + 1);
  }
}

void TZItemList::Delete(int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  SetTag(visible_[static_cast<std::size_t>(index)], kTagRemoved);
  visible_.erase(visible_.begin() + index);
}

int TZItemList::Remove(std::byte* item) {
  int index = IndexOf(item);
  if (index >= 0) {
    Delete(index);
  } else if (item && std::find(storage_.begin(), storage_.end(), item) != storage_.end()) {
    SetTag(item, kTagRemoved);
  }
  return index;
}

int TZItemList::IndexOf(const std::byte* item) const {
  auto it = std::find(visible_.begin(), visible_.end(), item);
  return it == visible_.end() ? -1 : static_cast<int>(it - visible_.begin());
}

std::byte* TZItemList::Items(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return visible_[static_cast<std::size_t>(index)];
}

std::byte* TZItemList::StorageItems(int index) const {
  if (index < 0 || index >= StorageCount()) IndexError(index);
  return storage_[static_cast<std::size_t>(index)];
}

int TZItemList::Show(std::byte* item) {
  int index = IndexOf(item);
  if (index >= 0) return index;
  if (Tag(item) == kTagRemoved) return -1;
  visible_.push_back(item);
  SetTag(item, kTagVisible);
  return Count() - 1;
}

bool TZItemList::FilterItem(int index) {
  std::byte* item = Items(index);
  if (!filter_ || filter_(item)) return false;
  SetTag(item, kTagHidden);
  visible_.erase(visible_.begin() + index);
  return true;
}

void TZItemList::Refilter() {
  std::vector<std::byte*> shown;
  shown.reserve(storage_.size());
  for (std::byte* item : storage_) {
    if (Tag(item) == kTagRemoved) continue;
    bool passes = !filter_ || filter_(item);
    SetTag(item, passes ? kTagVisible : kTagHidden);
    if (passes) shown.push_back(item);
  }
  visible_.swap(shown);
  if (sorted_) Resort();
}

void TZItemList::Rebuild() {
  visible_.clear();
  for (std::byte* item : storage_) {
    if (Tag(item) == kTagVisible) visible_.push_back(item);
  }
  sorted_ = false;
}

void TZItemList::Sort() {
  if (compare_ && visible_.size() > 1) {
    QuickSort(0, static_cast<std::ptrdiff_t>(visible_.size()) - 1);
  }
  sorted_ = true;
}

// Hoare partitioning around the middle item. The scans are bounded, so a comparison that is
// not a strict weak order (date-times within a second compare equal) cannot run off the
// list; recursing into the smaller part keeps the stack depth logarithmic.
void TZItemList::QuickSort(std::ptrdiff_t left, std::ptrdiff_t right) {
  while (left < right) {
    const std::byte* pivot = visible_[static_cast<std::size_t>(left + (right - left) / 2)];
    std::ptrdiff_t i = left;
    std::ptrdiff_t j = right;
    while (i <= j) {
      while (i < right && compare_(visible_[static_cast<std::size_t>(i)], pivot) < 0) ++i;
      while (j > left && compare_(visible_[static_cast<std::size_t>(j)], pivot) > 0) --j;
      if (i <= j) {
        std::swap(visible_[static_cast<std::size_t>(i)], visible_[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    }
    if (j - left < right - i) {
      QuickSort(left, j);
      left = i;
    } else {
      QuickSort(i, right);
      right = j;
    }
  }
}

void TZItemList::Recycle() {
  visible_.clear();
  storage_.clear();
  if (pages_.size() > 1) pages_.resize(1);
  sorted_ = false;
}

bool TZItemList::ReleaseLastSlot(const std::byte* item) {
  if (storage_.empty() || storage_.back() != item || Tag(item) != kTagRemoved) return false;
  storage_.pop_back();
  return true;
}

void TZItemList::Clear() {
  visible_.clear();
  visible_.shrink_to_fit();
  storage_.clear();
  storage_.shrink_to_fit();
  pages_.clear();
  sorted_ = false;
}

}  // namespace tabulix
