#include "source/dbase/Utf8Scan.h"

#include "framework/Exceptions.h"
#include "source/Utf8Text.h"
#include "source/dbase/RecordWindow.h"
#include "source/dbase/ValueDecoding.h"

namespace tabulix::source::dbase {
namespace {

bool BitSet(std::string_view flags, int bit) {
  if (bit < 0 || static_cast<std::size_t>(bit / 8) >= flags.size()) return false;
  return (static_cast<unsigned char>(flags[bit / 8]) >> (bit % 8)) & 1;
}

}  // namespace

bool TextIsUtf8(const ReadOnlyFile& file, const DbaseHeader& header,
                const std::vector<DbaseColumn>& columns, MemoStore& memos) {
  const DbaseColumn* nullFlags = nullptr;
  std::vector<const DbaseColumn*> texts;
  for (const DbaseColumn& c : columns) {
    if (c.kind == ValueKind::NullFlags && !nullFlags) nullFlags = &c;
    if (HoldsText(c)) texts.push_back(&c);
  }
  Utf8Detector detector;
  if (texts.empty()) return false;
  RecordWindow records(file, header.headerLength, header.recordLength, header.recordCount);
  bool readMemos = true;
  for (std::uint32_t i = 0; i < header.recordCount && !detector.Finished(); ++i) {
    std::string_view record = records.Record(i);
    if (record.front() == '*') continue;  // deleted
    std::string_view flags;
    if (nullFlags) {
      flags = record.substr(static_cast<std::size_t>(nullFlags->descriptor.offset),
                            static_cast<std::size_t>(nullFlags->descriptor.length));
    }
    for (const DbaseColumn* c : texts) {
      if (BitSet(flags, c->nullBit)) continue;
      std::string_view bytes = record.substr(static_cast<std::size_t>(c->descriptor.offset),
                                             static_cast<std::size_t>(c->descriptor.length));
      if (c->kind == ValueKind::VarText && BitSet(flags, c->varLengthBit)) {
        auto length = static_cast<unsigned char>(bytes.back());
        if (length >= bytes.size()) continue;
        bytes = bytes.substr(0, length);
      }
      if (c->kind != ValueKind::MemoText) {
        if (!detector.Add(bytes)) break;
        continue;
      }
      std::optional<std::uint32_t> block = ParseMemoBlock(bytes);
      if (!readMemos || !block || *block == 0) continue;
      if (memos.Missing()) {
        readMemos = false;
        continue;
      }
      try {
        if (!detector.Add(memos.Read(*block, std::string()))) break;
      } catch (const Exception&) {
        // A damaged memo file: reading the records names it; the fields decide alone.
        readMemos = false;
      }
    }
  }
  return detector.IsUtf8();
}

}  // namespace tabulix::source::dbase
