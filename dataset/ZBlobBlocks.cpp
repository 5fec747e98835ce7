#include "dataset/ZBlobBlocks.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "framework/Exceptions.h"

namespace tabulix {
namespace {

std::unique_ptr<char[]> NewBlock(std::uint32_t size) {
  auto data = std::make_unique_for_overwrite<char[]>(std::size_t{size} + 1);
  data[size] = '\0';
  return data;
}

}  // namespace

TBlobBlocks::Handle& TBlobBlocks::Handle::operator=(Handle&& other) noexcept {
  if (this != &other) {
    Reset();
    blocks_ = other.blocks_;
    ref_ = other.Release();
  }
  return *this;
}

void TBlobBlocks::Handle::Reset() noexcept {
  if (blocks_ && ref_ != kNoBlock) blocks_->Free(ref_);
  ref_ = kNoBlock;
}

TBlobBlocks::Handle TBlobBlocks::Allocate(std::string_view bytes) {
  if (bytes.size() >= std::numeric_limits<std::uint32_t>::max()) {
    throw Exception("Blob value too large");
  }
  const auto size = static_cast<std::uint32_t>(bytes.size());
  Block block{NewBlock(size), size, size};
  if (size) std::memcpy(block.data.get(), bytes.data(), size);
  if (!free_.empty()) {
    Ref ref = free_.back();
    blocks_[ref - 1] = std::move(block);
    free_.pop_back();
    return Handle(*this, ref);
  }
  if (blocks_.size() >= std::numeric_limits<Ref>::max() - 1) {
    throw Exception("Too many blob values");
  }
  // Room for every reference in the free list, so that Free never allocates.
  if (free_.capacity() < blocks_.size() + 1) free_.reserve(2 * (blocks_.size() + 1));
  blocks_.push_back(std::move(block));
  return Handle(*this, static_cast<Ref>(blocks_.size()));
}

void TBlobBlocks::Resize(Ref ref, std::uint32_t size) {
  if (!IsAllocated(ref)) return;
  Block& block = blocks_[ref - 1];
  if (size > block.capacity) {
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max() - 1;
    if (size > kMax) throw Exception("Blob value too large");
    const std::uint32_t doubled = block.capacity > kMax / 2 ? kMax : 2 * block.capacity;
    const std::uint32_t capacity = std::max(size, doubled);
    auto data = NewBlock(capacity);
    if (block.size) std::memcpy(data.get(), block.data.get(), block.size);
    block.data = std::move(data);
    block.capacity = capacity;
  }
  if (size > block.size) std::memset(block.data.get() + block.size, 0, size - block.size);
  block.data[size] = '\0';
  block.size = size;
}

void TBlobBlocks::Free(Ref ref) noexcept {
  if (!IsAllocated(ref)) return;
  Block& block = blocks_[ref - 1];
  block.data.reset();
  block.size = 0;
  block.capacity = 0;
  free_.push_back(ref);  // never reallocates: Allocate keeps the room
}

const TBlobBlocks::Block* TBlobBlocks::Find(Ref ref) const {
  if (ref == kNoBlock || ref > blocks_.size()) return nullptr;
  const Block& block = blocks_[ref - 1];
  return block.data ? &block : nullptr;
}

bool TBlobBlocks::IsAllocated(Ref ref) const {
  return Find(ref) != nullptr;
}

std::uint32_t TBlobBlocks::Size(Ref ref) const {
  const Block* block = Find(ref);
  return block ? block->size : 0;
}

std::string_view TBlobBlocks::View(Ref ref, std::uint32_t length) const {
  const Block* block = Find(ref);
  if (!block) return {};
  return std::string_view(block->data.get(), std::min(length, block->size));
}

char* TBlobBlocks::Data(Ref ref) {
  const Block* block = Find(ref);
  return block ? block->data.get() : nullptr;
}

}  // namespace tabulix
