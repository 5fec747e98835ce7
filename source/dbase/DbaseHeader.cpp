#include "source/dbase/DbaseHeader.h"

#include <cstdio>
#include <string_view>

#include "framework/Exceptions.h"
#include "source/ReadOnlyFile.h"
#include "source/dbase/ByteOrder.h"

namespace tabulix::source::dbase {
namespace {

constexpr unsigned char kHeaderTerminator = 0x0D;
constexpr std::size_t kDbase2HeaderLength = 521;
constexpr int kDbase2MaxFields = 32;

struct VersionInfo {
  DbaseDialect dialect;
  MemoKind memo;
};

std::string Hex(unsigned value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", value);
  return buf;
}

[[noreturn]] void Fail(const ReadOnlyFile& file, const std::string& what) {
  throw Exception(file.Path() + ": " + what);
}

VersionInfo Version(const ReadOnlyFile& file, std::uint8_t version) {
  switch (version) {
    case 0x02:
      return {DbaseDialect::DBase2, MemoKind::None};
    case 0x03:
    case 0x05:
      return {DbaseDialect::DBase3, MemoKind::None};
    case 0x83:
      return {DbaseDialect::DBase3, MemoKind::DbtIII};
    case 0x43:
    case 0x63:
      return {DbaseDialect::DBase4, MemoKind::None};
    case 0x7B:
    case 0x8B:
    case 0xCB:
      return {DbaseDialect::DBase4, MemoKind::DbtIV};
    case 0x04:
      return {DbaseDialect::DBase7, MemoKind::None};
    case 0x8C:
      return {DbaseDialect::DBase7, MemoKind::DbtIV};
    case 0xF5:
    case 0xFB:
      return {DbaseDialect::FoxPro, MemoKind::Fpt};
    case 0x30:
    case 0x31:
    case 0x32:
      return {DbaseDialect::VisualFoxPro, MemoKind::Fpt};
    case 0xE5:
      Fail(file, "HiPer-Six tables (.smt memo file) are not supported");
    default:
      Fail(file, "not a dBase table (unknown version byte " + Hex(version) + ")");
  }
}

std::string NameUpToNul(const unsigned char* p, std::size_t size) {
  std::size_t n = 0;
  while (n < size && p[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

// Computes the field offsets; some FoxPro and Clipper writers keep the high byte of a long
// character field's length in its decimal count, which only the record length can tell.
void PlaceFields(const ReadOnlyFile& file, DbaseHeader& header) {
  std::uint64_t narrow = 1;
  std::uint64_t wide = 1;
  for (const auto& f : header.fields) {
    narrow += static_cast<std::uint64_t>(f.length);
    wide += static_cast<std::uint64_t>(f.length) + (f.type == 'C' ? 256ull * f.decimals : 0);
  }
  bool useWide = narrow != header.recordLength && wide == header.recordLength;
  if (!useWide && narrow != header.recordLength) {
    Fail(file, "damaged header: the fields take " + std::to_string(narrow) +
                   " bytes per record but the header says " + std::to_string(header.recordLength));
  }
  int offset = 1;
  for (auto& f : header.fields) {
    if (useWide && f.type == 'C') {
      f.length += 256 * f.decimals;
      f.decimals = 0;
    }
    f.offset = offset;
    offset += f.length;
  }
}

void CheckRecordArea(const ReadOnlyFile& file, const DbaseHeader& header) {
  std::uint64_t need =
      std::uint64_t{header.headerLength} + std::uint64_t{header.recordCount} * header.recordLength;
  if (file.Size() < need) {
    std::uint64_t holds = file.Size() < header.headerLength
                              ? 0
                              : (file.Size() - header.headerLength) / header.recordLength;
    Fail(file, "truncated file: header says " + std::to_string(header.recordCount) +
                   " records but the file holds " + std::to_string(holds));
  }
}

// FoxBase / dBase II: fixed 521-byte header with 16-byte descriptors.
DbaseHeader ReadDbase2(const ReadOnlyFile& file, DbaseHeader header) {
  unsigned char buf[kDbase2HeaderLength] = {};
  std::size_t got = file.ReadAt(0, buf, sizeof buf);
  if (got < 8) Fail(file, "not a dBase table (file too short for a header)");
  header.recordCount = LoadLE16(buf + 1);
  header.recordLength = LoadLE16(buf + 6);
  header.headerLength = kDbase2HeaderLength;
  std::size_t pos = 8;
  bool terminated = false;
  for (int i = 0; i <= kDbase2MaxFields && pos < got; ++i) {
    if (buf[pos] == kHeaderTerminator) {
      terminated = true;
      break;
    }
    if (i == kDbase2MaxFields || pos + 16 > got) break;
    DbaseFieldDescriptor f;
    f.rawName = NameUpToNul(buf + pos, 11);
    f.type = static_cast<char>(buf[pos + 11]);
    f.length = buf[pos + 12];
    f.decimals = buf[pos + 15];
    header.fields.push_back(std::move(f));
    pos += 16;
  }
  if (!terminated) Fail(file, "not a dBase table (field list of the dBase II header not closed)");
  if (header.recordLength == 0) Fail(file, "not a dBase table (record length 0)");
  PlaceFields(file, header);
  CheckRecordArea(file, header);
  return header;
}

}  // namespace

DbaseHeader ReadDbaseHeader(const ReadOnlyFile& file) {
  if (file.Size() == 0) Fail(file, "the file is empty, not a dBase table");
  unsigned char fixed[32];
  std::size_t got = file.ReadAt(0, fixed, sizeof fixed);
  DbaseHeader header;
  header.version = fixed[0];
  VersionInfo info = Version(file, header.version);
  header.dialect = info.dialect;
  header.memoKind = info.memo;
  if (header.dialect == DbaseDialect::DBase2) return ReadDbase2(file, std::move(header));

  if (got < sizeof fixed) Fail(file, "not a dBase table (file too short for a header)");
  header.recordCount = LoadLE32(fixed + 4);
  header.headerLength = LoadLE16(fixed + 8);
  header.recordLength = LoadLE16(fixed + 10);
  header.languageDriver = fixed[29];

  bool dbase7 = header.dialect == DbaseDialect::DBase7;
  const std::size_t firstDescriptor = dbase7 ? 68 : 32;
  const std::size_t descriptorSize = dbase7 ? 48 : 32;
  if (header.headerLength < firstDescriptor + 1) {
    Fail(file, "not a dBase table (header length " + std::to_string(header.headerLength) +
                   " is too small)");
  }
  if (header.recordLength == 0) Fail(file, "not a dBase table (record length 0)");
  if (header.headerLength > file.Size()) {
    Fail(file, "not a dBase table or truncated: the header alone should be " +
                   std::to_string(header.headerLength) + " bytes but the file has " +
                   std::to_string(file.Size()));
  }

  std::string bytes(header.headerLength, '\0');
  file.ReadExactly(0, bytes.data(), bytes.size(), "the file shrank while it was read");
  const auto* buf = reinterpret_cast<const unsigned char*>(bytes.data());
  if (dbase7) header.driverName = NameUpToNul(buf + 32, 32);

  std::size_t pos = firstDescriptor;
  while (pos < bytes.size() && buf[pos] != kHeaderTerminator) {
    if (pos + descriptorSize > bytes.size()) {
      Fail(file, "damaged header: field descriptors run past the header length");
    }
    const unsigned char* d = buf + pos;
    DbaseFieldDescriptor f;
    if (dbase7) {
      f.rawName = NameUpToNul(d, 32);
      f.type = static_cast<char>(d[32]);
      f.length = d[33];
      f.decimals = d[34];
    } else {
      f.rawName = NameUpToNul(d, 11);
      f.type = static_cast<char>(d[11]);
      f.length = d[16];
      f.decimals = d[17];
      if (header.dialect == DbaseDialect::VisualFoxPro) f.flags = d[18];
    }
    header.fields.push_back(std::move(f));
    pos += descriptorSize;
  }
  PlaceFields(file, header);
  CheckRecordArea(file, header);
  return header;
}

}  // namespace tabulix::source::dbase
