#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tabulix {

// The value blocks of blob slots. A slot refers to its block by a 32-bit reference (1-based
// index into this table, 0 for none), so the record layout keeps its fixed size whatever the
// width of a pointer. Every block ends with a zero byte after its length. The table frees
// whatever is still allocated when it goes, so no path can leak a block for longer than the
// records that share the table live; freeing a reference that is not allocated is ignored, so
// a stale reference cannot free a block twice.
class TBlobBlocks {
 public:
  using Ref = std::uint32_t;
  static constexpr Ref kNoBlock = 0;

  // Owns one freshly allocated block until it is released into a slot.
  class Handle {
   public:
    Handle() = default;
    Handle(TBlobBlocks& blocks, Ref ref) : blocks_(&blocks), ref_(ref) {}
    Handle(Handle&& other) noexcept : blocks_(other.blocks_), ref_(other.Release()) {}
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Reset(); }

    Ref Get() const { return ref_; }
    Ref Release() {
      Ref ref = ref_;
      ref_ = kNoBlock;
      return ref;
    }
    void Reset() noexcept;

   private:
    TBlobBlocks* blocks_ = nullptr;
    Ref ref_ = kNoBlock;
  };

  TBlobBlocks() = default;
  TBlobBlocks(const TBlobBlocks&) = delete;
  TBlobBlocks& operator=(const TBlobBlocks&) = delete;

  // A new block holding the bytes.
  Handle Allocate(std::string_view bytes);
  // Grows or shrinks a block to size bytes, keeping its reference and the leading bytes;
  // new bytes are zero. Growth reserves room ahead (at least doubling), so a value written
  // piece by piece costs time in proportion to its length, not its square.
  void Resize(Ref ref, std::uint32_t size);
  void Free(Ref ref) noexcept;

  bool IsAllocated(Ref ref) const;
  std::uint32_t Size(Ref ref) const;  // 0 when not allocated
  // The first length bytes of the block, never more than it holds; empty when not allocated.
  std::string_view View(Ref ref, std::uint32_t length) const;
  char* Data(Ref ref);  // nullptr when not allocated

  std::size_t AllocatedCount() const { return blocks_.size() - free_.size(); }

 private:
  struct Block {
    std::unique_ptr<char[]> data;  // capacity + 1 bytes; data[size] is always zero
    std::uint32_t size = 0;
    std::uint32_t capacity = 0;
  };
  const Block* Find(Ref ref) const;

  std::vector<Block> blocks_;
  std::vector<Ref> free_;
};

}  // namespace tabulix
