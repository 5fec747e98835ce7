#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tabulix::source {
class ReadOnlyFile;
}  // namespace tabulix::source

namespace tabulix::source::dbase {

// The family of writers a version byte stands for; type letters and binary encodings differ.
enum class DbaseDialect { DBase2, DBase3, DBase4, DBase7, FoxPro, VisualFoxPro };

// Which memo file layout the version byte announces.
enum class MemoKind { None, DbtIII, DbtIV, Fpt };

// One field descriptor as stored, with its place in the record computed from the lengths.
struct DbaseFieldDescriptor {
  std::string rawName;  // bytes up to the first NUL, in the table's code page
  char type = 0;
  int length = 0;  // bytes in the record
  int decimals = 0;
  std::uint8_t flags = 0;  // Visual FoxPro field flags
  int offset = 0;          // from the start of the record, after the delete flag
};

struct DbaseHeader {
  std::uint8_t version = 0;
  DbaseDialect dialect = DbaseDialect::DBase3;
  MemoKind memoKind = MemoKind::None;
  std::uint32_t recordCount = 0;  // as the header says, deleted records included
  std::uint32_t headerLength = 0;
  std::uint32_t recordLength = 0;
  std::uint8_t languageDriver = 0;
  std::string driverName;  // dBase 7 language driver name, empty elsewhere
  std::vector<DbaseFieldDescriptor> fields;
};

// Visual FoxPro field flags.
inline constexpr std::uint8_t kVfpSystemField = 0x01;
inline constexpr std::uint8_t kVfpNullable = 0x02;
inline constexpr std::uint8_t kVfpBinary = 0x04;
inline constexpr std::uint8_t kVfpAutoIncrement = 0x08;

// Reads and checks the table header and field descriptors. Raises tabulix::Exception naming
// the file for a foreign, damaged or truncated file.
DbaseHeader ReadDbaseHeader(const ReadOnlyFile& file);

}  // namespace tabulix::source::dbase
