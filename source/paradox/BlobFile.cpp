#include "source/paradox/BlobFile.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "framework/AsciiCase.h"
#include "framework/NumberText.h"
#include "source/paradox/ByteOrder.h"
#include "source/paradox/ParadoxError.h"

namespace tabulix::source::paradox {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kUnit = 4096;  // .mb blocks are multiples of this
constexpr std::uint8_t kSingleBlob = 2;
constexpr std::uint8_t kSubAllocated = 3;
constexpr std::uint8_t kSingleIndex = 0xFF;
constexpr int kEntries = 64;
constexpr int kEntryTable = 0x0C;
constexpr int kEntrySize = 5;
constexpr int kSingleHeader = 9;

// The name shown when the file is missing: the table's name with the extension in the same
// letter case as the table's own.
std::string ExpectedName(const fs::path& table, const std::string& extension) {
  std::string ext = table.extension().string();
  bool upper = !ext.empty() && ext == UpperCase(ext) && ext != LowerCase(ext);
  fs::path name = table;
  name.replace_extension(upper ? UpperCase(extension) : extension);
  return name.string();
}

}  // namespace

BlobRef ReadBlobRef(const std::uint8_t* descriptor) {
  std::uint32_t offsetIndex = Le32(descriptor);
  return BlobRef{offsetIndex & 0xFFFFFF00u, static_cast<std::uint8_t>(offsetIndex & 0xFF),
                 Le32(descriptor + 4)};
}

std::optional<std::string> FindCompanionFile(const std::string& tablePath,
                                             const std::string& extension) {
  fs::path table(tablePath);
  fs::path folder = table.parent_path();
  std::string wanted = LowerCase((table.stem().string() + extension));
  std::error_code ec;
  fs::path exact = ExpectedName(table, extension);
  if (fs::is_regular_file(exact, ec)) return exact.string();
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    if (LowerCase(it->path().filename().string()) == wanted && it->is_regular_file(ec)) {
      return (folder / it->path().filename()).string();
    }
  }
  return std::nullopt;
}

BlobFile::BlobFile(std::string tablePath) : tablePath_(std::move(tablePath)) {}

bool BlobFile::Missing() {
  if (!looked_) {
    path_ = FindCompanionFile(tablePath_, ".mb");
    looked_ = true;
  }
  return !path_;
}

std::string BlobFile::ExpectedPath() const {
  return ExpectedName(tablePath_, ".mb");
}

ReadOnlyFile& BlobFile::Open() {
  if (!file_) {
    if (Missing()) ThrowFileError(ExpectedPath(), "the blob file of the table is missing");
    file_.emplace(*path_);
  }
  return *file_;
}

void BlobFile::Fail(const BlobRef& ref, const std::string& problem) const {
  ThrowFileError(file_->Path(), "blob at offset " + IntToStr(ref.offset) + " entry " +
                                    IntToStr(ref.index) + ": " + problem +
                                    " (the table and its blob file do not match)");
}

std::string BlobFile::Read(const BlobRef& ref) {
  ReadOnlyFile& file = Open();
  std::uint8_t head[3];
  if (!file.ReadFully(ref.offset, head, sizeof head)) Fail(ref, "lies beyond the end of the file");
  if (head[0] == kSingleBlob) return ReadSingle(ref, Le16(head + 1));
  if (head[0] == kSubAllocated) return ReadSubAllocated(ref);
  Fail(ref, "points at a block of type " + IntToStr(head[0]));
}

std::string BlobFile::ReadSingle(const BlobRef& ref, std::uint16_t units) {
  if (ref.index != kSingleIndex) Fail(ref, "single-blob block but entry " + IntToStr(ref.index));
  std::uint8_t head[kSingleHeader];
  if (!file_->ReadFully(ref.offset, head, sizeof head)) Fail(ref, "block header is cut off");
  std::uint32_t length = Le32(head + 3);
  if (length != ref.length) {
    Fail(ref,
         "block holds " + IntToStr(length) + " bytes, the record says " + IntToStr(ref.length));
  }
  if (kSingleHeader + static_cast<std::uint64_t>(length) > units * kUnit) {
    Fail(ref, "value of " + IntToStr(length) + " bytes overruns its block");
  }
  // Checked against the file size before allocating, so a damaged length cannot exhaust memory.
  if (!file_->Contains(std::uint64_t{ref.offset} + kSingleHeader, length))
    Fail(ref, "value is cut off");
  std::string value(length, '\0');
  if (!file_->ReadFully(std::uint64_t{ref.offset} + kSingleHeader, value.data(), length)) {
    Fail(ref, "value is cut off");
  }
  return value;
}

std::string BlobFile::ReadSubAllocated(const BlobRef& ref) {
  if (ref.index >= kEntries) Fail(ref, "entry number out of range");
  std::uint8_t entry[kEntrySize];
  if (!file_->ReadFully(std::uint64_t{ref.offset} + kEntryTable + kEntrySize * ref.index, entry,
                        sizeof entry)) {
    Fail(ref, "entry is cut off");
  }
  int units = entry[1];
  int last = entry[4];
  if (last == 0 || units == 0 || last > 16) Fail(ref, "entry is free");
  std::uint32_t length = static_cast<std::uint32_t>((units - 1) * 16 + last);
  if (length != ref.length) {
    Fail(ref,
         "entry holds " + IntToStr(length) + " bytes, the record says " + IntToStr(ref.length));
  }
  std::uint64_t start = 16u * entry[0];
  if (start < kEntryTable + kEntries * kEntrySize || start + length > kUnit) {
    Fail(ref, "entry lies outside its block");
  }
  std::string value(length, '\0');
  if (!file_->ReadFully(ref.offset + start, value.data(), length)) Fail(ref, "value is cut off");
  return value;
}

}  // namespace tabulix::source::paradox
