#include "source/dbase/Utf8Scan.h"

#include "framework/Exceptions.h"
#include "source/dbase/ValueDecoding.h"

namespace tabulix::source::dbase {
namespace {

bool BitSet(std::string_view flags, int bit) {
  if (bit < 0 || static_cast<std::size_t>(bit / 8) >= flags.size()) return false;
  return (static_cast<unsigned char>(flags[bit / 8]) >> (bit % 8)) & 1;
}

}  // namespace

Utf8Scan::Utf8Scan(std::uint32_t recordLength, const std::vector<DbaseColumn>& columns,
                   MemoStore& memos)
    : recordLength_(recordLength), memos_(memos) {
  for (const DbaseColumn& c : columns) {
    if (c.kind == ValueKind::NullFlags && !nullFlags_) nullFlags_ = c;
    if (HoldsText(c)) texts_.push_back(c);
    memoTexts_ = memoTexts_ || c.kind == ValueKind::MemoText;
  }
}

bool Utf8Scan::Visit(std::string_view records) {
  if (texts_.empty()) return false;
  // Most tables are plain ASCII: records without a high byte hold no text to look at.
  if (!memoTexts_ && IsAsciiText(records)) return true;
  for (std::size_t at = 0; at + recordLength_ <= records.size(); at += recordLength_) {
    std::string_view record = records.substr(at, recordLength_);
    if (record.front() == '*') continue;  // deleted
    std::string_view flags;
    if (nullFlags_) {
      flags = record.substr(static_cast<std::size_t>(nullFlags_->descriptor.offset),
                            static_cast<std::size_t>(nullFlags_->descriptor.length));
    }
    for (const DbaseColumn& c : texts_) {
      if (!VisitValue(c, record, flags)) return false;
    }
  }
  return true;
}

bool Utf8Scan::VisitValue(const DbaseColumn& c, std::string_view record, std::string_view flags) {
  if (BitSet(flags, c.nullBit)) return true;
  std::string_view bytes = record.substr(static_cast<std::size_t>(c.descriptor.offset),
                                         static_cast<std::size_t>(c.descriptor.length));
  if (c.kind == ValueKind::VarText && BitSet(flags, c.varLengthBit)) {
    auto length = static_cast<unsigned char>(bytes.back());
    if (length >= bytes.size()) return true;
    bytes = bytes.substr(0, length);
  }
  if (c.kind != ValueKind::MemoText) return detector_.Add(bytes);
  std::optional<std::uint32_t> block = ParseMemoBlock(bytes);
  if (!readMemos_ || !block || *block == 0) return true;
  if (memos_.Missing()) {
    readMemos_ = false;
    return true;
  }
  try {
    return detector_.Add(memos_.Read(*block, std::string()));
  } catch (const Exception&) {
    // A damaged memo file: reading the records names it; the fields decide alone.
    readMemos_ = false;
    return true;
  }
}

}  // namespace tabulix::source::dbase
