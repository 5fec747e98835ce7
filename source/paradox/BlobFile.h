#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "source/ReadOnlyFile.h"

namespace tabulix::source::paradox {

// The blob descriptor at the end of a blob field: where the value lives in the .mb file.
struct BlobRef {
  std::uint32_t offset = 0;  // of the .mb block
  std::uint8_t index = 0;    // 0xFF for a single-blob block, else the entry of a shared block
  std::uint32_t length = 0;  // of the whole value
};

BlobRef ReadBlobRef(const std::uint8_t* descriptor);

// The .mb file of a table, found beside it with the table's base name in any letter case and
// opened on first use, so that a table whose blob values all fit in the records reads
// without one.
class BlobFile {
 public:
  explicit BlobFile(std::string tablePath);

  // The value a descriptor points at. Raises tabulix::Exception naming the .mb file when it
  // is missing or does not hold the value.
  std::string Read(const BlobRef& ref);
  // Whether the .mb file is missing; looked up once.
  bool Missing();
  // The path the .mb would have, for messages.
  std::string ExpectedPath() const;

 private:
  ReadOnlyFile& Open();
  std::string ReadSingle(const BlobRef& ref, std::uint16_t units);
  std::string ReadSubAllocated(const BlobRef& ref);
  [[noreturn]] void Fail(const BlobRef& ref, const std::string& problem) const;

  std::string tablePath_;
  bool looked_ = false;
  std::optional<std::string> path_;
  std::optional<ReadOnlyFile> file_;
};

// The companion file of a table with the given extension (".mb"), matched case-insensitively
// in the table's folder; std::nullopt when there is none.
std::optional<std::string> FindCompanionFile(const std::string& tablePath,
                                             const std::string& extension);

}  // namespace tabulix::source::paradox
