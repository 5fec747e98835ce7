#include "source/paradox/ParadoxHeader.h"

#include <cstring>

#include "framework/NumberText.h"
#include "source/paradox/ByteOrder.h"
#include "source/paradox/ParadoxError.h"

namespace tabulix::source::paradox {
namespace {

constexpr int kFixedPartSize = 0x58;
constexpr int kExtendedBase = 0x78;
constexpr int kFirstVersion = 0x03;
constexpr int kVersion4 = 0x05;  // from here on: extended header, code page, key at 0x5C
constexpr int kVersion7 = 0x0C;  // from here on: 261-byte table-name area
constexpr int kMaxBlockCode = 32;

const char kNotParadox[] = "not a Paradox table";

std::string Hex(unsigned v) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s = "0x";
  s += digits[(v >> 4) & 0xF];
  s += digits[v & 0xF];
  return s;
}

class HeaderParser {
 public:
  explicit HeaderParser(const ReadOnlyFile& file) : file_(file) {}

  ParadoxHeader Parse() {
    ReadFixedPart();
    ReadWholeHeader();
    ReadFields();
    ReadNames();
    ReadSortOrder();
    CheckRecordLayout();
    return std::move(h_);
  }

 private:
  [[noreturn]] void Fail(const std::string& problem) const {
    ThrowFileError(file_.Path(), problem);
  }
  [[noreturn]] void Damaged(const std::string& what) const {
    Fail("damaged Paradox table header (" + what + ")");
  }

  void ReadFixedPart() {
    if (file_.Size() == 0) Fail(std::string("empty file, ") + kNotParadox);
    if (file_.Size() < kFixedPartSize) {
      Fail(std::string(kNotParadox) + " (only " +
           IntToStr(static_cast<std::int64_t>(file_.Size())) + " bytes)");
    }
    std::uint8_t p[kFixedPartSize];
    if (!file_.ReadFully(0, p, sizeof p)) Fail("cannot read the table header");

    h_.fileType = p[0x04];
    if (h_.fileType != 0 && h_.fileType != 2) {
      if (h_.fileType <= 8) Fail(std::string(kNotParadox) + " but one of its index files");
      Fail(std::string(kNotParadox) + " (file type " + Hex(h_.fileType) + ")");
    }
    h_.versionId = p[0x39];
    if (h_.versionId < kFirstVersion || h_.versionId > kVersion7) {
      Fail(std::string(kNotParadox) + " (unknown version id " + Hex(h_.versionId) + ")");
    }
    int blockCode = p[0x05];
    if (blockCode < 1 || blockCode > kMaxBlockCode) {
      Fail(std::string(kNotParadox) + " (block size code " + IntToStr(blockCode) + ")");
    }
    h_.blockSize = blockCode * 1024;
    h_.recordSize = Le16(p + 0x00);
    h_.headerSize = Le16(p + 0x02);
    h_.recordCount = Le32(p + 0x06);
    h_.firstBlock = Le16(p + 0x0E);
    fieldCount_ = Le16(p + 0x21);
    h_.keyFieldCount = Le16(p + 0x23);
    h_.encryptionKey = Le32(p + 0x25);
    if (fieldCount_ == 0) Fail(std::string(kNotParadox) + " (no fields)");
    if (h_.recordSize == 0) Fail(std::string(kNotParadox) + " (record size 0)");
    if (h_.keyFieldCount > fieldCount_) Damaged("more key fields than fields");

    extended_ = h_.versionId >= kVersion4;
    int base = extended_ ? kExtendedBase : kFixedPartSize;
    int tableNameSize = h_.versionId >= kVersion7 ? 261 : 79;
    fieldInfoAt_ = base;
    namesAt_ = base + 6 * fieldCount_ + 4 + tableNameSize;
    if (h_.headerSize < namesAt_ + fieldCount_) {
      Damaged("header size " + IntToStr(h_.headerSize) + " too small for " + IntToStr(fieldCount_) +
              " fields");
    }
    if (static_cast<std::uint64_t>(h_.headerSize) > file_.Size()) {
      Fail("the file is truncated: its header needs " + IntToStr(h_.headerSize) +
           " bytes but the file holds " + IntToStr(static_cast<std::int64_t>(file_.Size())));
    }
  }

  void ReadWholeHeader() {
    header_.resize(static_cast<std::size_t>(h_.headerSize));
    if (!file_.ReadFully(0, header_.data(), header_.size())) Fail("cannot read the table header");
    if (extended_) {
      h_.encryptionKey = Le32(&header_[0x5C]);
      h_.codePage = Le16(&header_[0x6A]);
    }
  }

  void ReadFields() {
    int offset = 0;
    h_.fields.resize(static_cast<std::size_t>(fieldCount_));
    for (int i = 0; i < fieldCount_; ++i) {
      ParadoxField& f = h_.fields[static_cast<std::size_t>(i)];
      std::uint8_t code = header_[static_cast<std::size_t>(fieldInfoAt_ + 2 * i)];
      f.sizeByte = header_[static_cast<std::size_t>(fieldInfoAt_ + 2 * i + 1)];
      f.type = FindParadoxFieldType(code);
      std::string which = "field " + IntToStr(i + 1);
      if (!f.type) Damaged(which + " has the unknown type code " + Hex(code));
      if (f.type->code == 0x17) {
        if (f.sizeByte > 32) Damaged(which + ": BCD scale " + IntToStr(f.sizeByte));
        f.size = kBcdStorageSize;
      } else if (f.type->fixedSize != 0) {
        if (f.sizeByte != f.type->fixedSize) {
          Damaged(which + " of type " + f.type->letter + " has size " + IntToStr(f.sizeByte));
        }
        f.size = f.type->fixedSize;
      } else {
        int minimum = f.type->blob ? kBlobDescriptorSize : 1;
        if (f.sizeByte < minimum) Damaged(which + " has size " + IntToStr(f.sizeByte));
        f.size = f.sizeByte;
      }
      f.offset = offset;
      offset += f.size;
    }
    recordBytes_ = offset;
  }

  void ReadNames() {
    std::size_t at = static_cast<std::size_t>(namesAt_);
    for (ParadoxField& f : h_.fields) {
      const void* end =
          at < header_.size() ? std::memchr(&header_[at], 0, header_.size() - at) : nullptr;
      if (!end) Damaged("field names run past the end of the header");
      std::size_t length = static_cast<const std::uint8_t*>(end) - &header_[at];
      f.rawName.assign(reinterpret_cast<const char*>(&header_[at]), length);
      at += length + 1;
    }
    namesEnd_ = at;
  }

  // The collation name after the field numbers; only a fallback for the code page, so a
  // header that lacks it is not damaged.
  void ReadSortOrder() {
    if (!extended_) return;
    std::size_t at = namesEnd_ + 2 * h_.fields.size();
    if (at >= header_.size()) return;
    const void* end = std::memchr(&header_[at], 0, header_.size() - at);
    if (!end) return;
    h_.sortOrder.assign(reinterpret_cast<const char*>(&header_[at]),
                        static_cast<const std::uint8_t*>(end) - &header_[at]);
  }

  void CheckRecordLayout() {
    if (recordBytes_ != h_.recordSize) {
      Damaged("record size " + IntToStr(h_.recordSize) + " but the fields take " +
              IntToStr(recordBytes_) + " bytes");
    }
    if (h_.recordSize + 6 > h_.blockSize) {
      Damaged("record size " + IntToStr(h_.recordSize) + " does not fit a block of " +
              IntToStr(h_.blockSize) + " bytes");
    }
  }

  const ReadOnlyFile& file_;
  ParadoxHeader h_;
  std::vector<std::uint8_t> header_;
  int fieldCount_ = 0;
  bool extended_ = false;
  int fieldInfoAt_ = 0;
  int namesAt_ = 0;
  std::size_t namesEnd_ = 0;
  int recordBytes_ = 0;
};

}  // namespace

ParadoxHeader ReadParadoxHeader(const ReadOnlyFile& file) {
  return HeaderParser(file).Parse();
}

}  // namespace tabulix::source::paradox
