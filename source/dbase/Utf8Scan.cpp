#include "source/dbase/Utf8Scan.h"

#include <algorithm>

#include "framework/Exceptions.h"
#include "source/Utf8Text.h"
#include "source/dbase/ValueDecoding.h"

namespace tabulix::source::dbase {
namespace {

constexpr std::size_t kChunkBytes = 256 * 1024;

bool BitSet(std::string_view flags, int bit) {
  if (bit < 0 || static_cast<std::size_t>(bit / 8) >= flags.size()) return false;
  return (static_cast<unsigned char>(flags[bit / 8]) >> (bit % 8)) & 1;
}

}  // namespace

bool TextIsUtf8(const ReadOnlyFile& file, const DbaseHeader& header,
                const std::vector<DbaseColumn>& columns, MemoStore& memos) {
  const DbaseColumn* nullFlags = nullptr;
  std::vector<const DbaseColumn*> texts;
  bool memoTexts = false;
  for (const DbaseColumn& c : columns) {
    if (c.kind == ValueKind::NullFlags && !nullFlags) nullFlags = &c;
    if (HoldsText(c)) texts.push_back(&c);
    memoTexts = memoTexts || c.kind == ValueKind::MemoText;
  }
  if (texts.empty()) return false;
  Utf8Detector detector;
  bool readMemos = true;
  // Visits one text value; false once the answer is no.
  auto visit = [&](const DbaseColumn& c, std::string_view record, std::string_view flags) {
    if (BitSet(flags, c.nullBit)) return true;
    std::string_view bytes = record.substr(static_cast<std::size_t>(c.descriptor.offset),
                                           static_cast<std::size_t>(c.descriptor.length));
    if (c.kind == ValueKind::VarText && BitSet(flags, c.varLengthBit)) {
      auto length = static_cast<unsigned char>(bytes.back());
      if (length >= bytes.size()) return true;
      bytes = bytes.substr(0, length);
    }
    if (c.kind != ValueKind::MemoText) return detector.Add(bytes);
    std::optional<std::uint32_t> block = ParseMemoBlock(bytes);
    if (!readMemos || !block || *block == 0) return true;
    if (memos.Missing()) {
      readMemos = false;
      return true;
    }
    try {
      return detector.Add(memos.Read(*block, std::string()));
    } catch (const Exception&) {
      // A damaged memo file: reading the records names it; the fields decide alone.
      readMemos = false;
      return true;
    }
  };

  const std::uint32_t length = header.recordLength;
  const std::uint32_t perChunk =
      static_cast<std::uint32_t>(std::max<std::size_t>(1, kChunkBytes / length));
  std::string chunk;
  for (std::uint64_t first = 0; first < header.recordCount; first += perChunk) {
    auto count =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(perChunk, header.recordCount - first));
    chunk.resize(std::size_t{count} * length);
    file.ReadExactly(header.headerLength + first * length, chunk.data(), chunk.size(),
                     "the file shrank while it was read");
    // Most tables are plain ASCII: a chunk without a high byte holds no text to look at.
    if (!memoTexts && IsAsciiText(chunk)) continue;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string_view record = std::string_view(chunk).substr(std::size_t{i} * length, length);
      if (record.front() == '*') continue;  // deleted
      std::string_view flags;
      if (nullFlags) {
        flags = record.substr(static_cast<std::size_t>(nullFlags->descriptor.offset),
                              static_cast<std::size_t>(nullFlags->descriptor.length));
      }
      for (const DbaseColumn* c : texts) {
        if (!visit(*c, record, flags)) return false;
      }
    }
  }
  return detector.IsUtf8();
}

}  // namespace tabulix::source::dbase
