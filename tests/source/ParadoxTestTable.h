#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

// Writes small Paradox tables (and .mb blob files) byte by byte for the reader's tests, laid
// out as the Paradox programs write them: header, then data blocks chained in file order.
namespace tabulix::test::paradox {

inline void PutLe16(std::string& s, std::size_t at, unsigned v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

inline void PutLe32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::string Le32(std::uint32_t v) {
  std::string s(4, '\0');
  PutLe32(s, 0, v);
  return s;
}

// A signed integer as a record stores it: big-endian with the top bit flipped.
inline std::string StoredInt(std::int64_t v, int size) {
  std::uint64_t raw = static_cast<std::uint64_t>(v) ^ (std::uint64_t{1} << (8 * size - 1));
  std::string s(static_cast<std::size_t>(size), '\0');
  for (int i = 0; i < size; ++i) s[size - 1 - i] = static_cast<char>((raw >> (8 * i)) & 0xFF);
  return s;
}

// A double as a record stores it: positive with the sign bit set, negative fully inverted.
inline std::string StoredDouble(double v) {
  std::uint64_t raw;
  std::memcpy(&raw, &v, sizeof raw);
  raw = (raw >> 63) ? ~raw : (raw | (std::uint64_t{1} << 63));
  std::string s(8, '\0');
  for (int i = 0; i < 8; ++i) s[7 - i] = static_cast<char>((raw >> (8 * i)) & 0xFF);
  return s;
}

inline std::string Alpha(const std::string& text, int size) {
  std::string s = text;
  s.resize(static_cast<std::size_t>(size), '\0');
  return s;
}

// A blob field: leader, then offset|index, length and modification number (little-endian).
inline std::string BlobField(int size, const std::string& leader, std::uint32_t offset,
                             std::uint8_t index, std::uint32_t length) {
  std::string s = leader;
  s.resize(static_cast<std::size_t>(size - 10), '\0');
  s += Le32(length == 0 ? 0 : offset | index);
  s += Le32(length);
  s += std::string(2, '\0');
  return s;
}

struct TestField {
  std::uint8_t code;
  std::uint8_t size;  // the descriptor's size byte (the scale for BCD)
  std::string name;
};

class ParadoxTestTable {
 public:
  explicit ParadoxTestTable(std::vector<TestField> fields) : fields_(std::move(fields)) {}

  int version = 0x0B;  // 5.x; 0x03/0x04 write the short 3.x header
  int blockCode = 2;
  int fileType = 2;
  int codePage = 1252;
  std::string sortOrder = "ascii";
  std::uint32_t encryptionKey = 0;
  int recordsPerBlock = 0;  // 0: as many as fit

  int RecordSize() const {
    int size = 0;
    for (const TestField& f : fields_) size += f.code == 0x17 ? 17 : f.size;
    return size;
  }
  int BlockSize() const { return blockCode * 1024; }

  void AddRecord(const std::string& bytes) {
    if (static_cast<int>(bytes.size()) != RecordSize()) {
      throw std::logic_error("test record of " + std::to_string(bytes.size()) + " bytes, want " +
                             std::to_string(RecordSize()));
    }
    records_.push_back(bytes);
  }

  std::string Header() const {
    const bool extended = version >= 5;
    const std::size_t n = fields_.size();
    std::string h(extended ? 0x78 : 0x58, '\0');
    for (const TestField& f : fields_) {
      h += static_cast<char>(f.code);
      h += static_cast<char>(f.size);
    }
    h += std::string(4 + 4 * n, '\0');
    std::string tableName = "test.db";
    tableName.resize(version >= 0x0C ? 261 : 79, '\0');
    h += tableName;
    for (const TestField& f : fields_) h += f.name + '\0';
    if (extended) {
      for (std::size_t i = 0; i < n; ++i) h += std::string{static_cast<char>(i + 1), '\0'};
      h += sortOrder + '\0';
    }
    std::size_t headerSize = extended || version == 4 ? 0x800 : h.size();
    h.resize(headerSize, '\0');

    const std::size_t blocks = BlockCount();
    PutLe16(h, 0x00, static_cast<unsigned>(RecordSize()));
    PutLe16(h, 0x02, static_cast<unsigned>(headerSize));
    h[0x04] = static_cast<char>(fileType);
    h[0x05] = static_cast<char>(blockCode);
    PutLe32(h, 0x06, static_cast<std::uint32_t>(records_.size()));
    PutLe16(h, 0x0A, static_cast<unsigned>(blocks));
    PutLe16(h, 0x0C, static_cast<unsigned>(blocks));
    PutLe16(h, 0x0E, blocks ? 1 : 0);
    PutLe16(h, 0x10, static_cast<unsigned>(blocks));
    PutLe16(h, 0x21, static_cast<unsigned>(n));
    h[0x39] = static_cast<char>(version);
    if (extended) {
      PutLe32(h, 0x25, 0xFF00FF00u);
      PutLe16(h, 0x58, 0x100u + static_cast<unsigned>(version));
      PutLe16(h, 0x5A, 0x100u + static_cast<unsigned>(version));
      PutLe32(h, 0x5C, encryptionKey);
      PutLe16(h, 0x64, static_cast<unsigned>(n + 1));
      PutLe16(h, 0x6A, static_cast<unsigned>(codePage));
    } else {
      PutLe32(h, 0x25, encryptionKey);
    }
    return h;
  }

  std::size_t Capacity() const {
    std::size_t fit = static_cast<std::size_t>((BlockSize() - 6) / RecordSize());
    return recordsPerBlock > 0 ? std::min(fit, static_cast<std::size_t>(recordsPerBlock)) : fit;
  }
  std::size_t BlockCount() const { return (records_.size() + Capacity() - 1) / Capacity(); }
  std::size_t BlockOffset(std::size_t block) const {
    return Header().size() + (block - 1) * static_cast<std::size_t>(BlockSize());
  }

  // The whole .db file; every block is full length.
  std::string Bytes() const {
    std::string file = Header();
    const std::size_t blocks = BlockCount();
    for (std::size_t b = 1; b <= blocks; ++b) {
      std::string block(static_cast<std::size_t>(BlockSize()), '\0');
      std::size_t first = (b - 1) * Capacity();
      std::size_t count = std::min(Capacity(), records_.size() - first);
      PutLe16(block, 0, b < blocks ? static_cast<unsigned>(b + 1) : 0);
      PutLe16(block, 2, static_cast<unsigned>(b - 1));
      PutLe16(block, 4, static_cast<unsigned>((count - 1) * RecordSize()));
      for (std::size_t i = 0; i < count; ++i) {
        block.replace(6 + i * RecordSize(), RecordSize(), records_[first + i]);
      }
      file += block;
    }
    return file;
  }

 private:
  std::vector<TestField> fields_;
  std::vector<std::string> records_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

// A table of one long integer field "N" with rows records in 32 KB blocks, written sparse:
// only the header, the block headers and the records listed in filled (record n holds n) are
// written, the rest of the file stays a hole and reads as null. Millions of records cost a few
// hundred kilobytes of disk.
inline void WriteSparseNumberTable(const std::string& path, std::int64_t rows,
                                   const std::vector<std::int64_t>& filled) {
  ParadoxTestTable t({{0x04, 4, "N"}});
  t.blockCode = 32;
  t.version = 0x0C;
  const std::int64_t perBlock = (32768 - 6) / 4;
  const std::int64_t blocks = (rows + perBlock - 1) / perBlock;
  std::string header = t.Header();
  PutLe32(header, 0x06, static_cast<std::uint32_t>(rows));
  PutLe16(header, 0x0A, static_cast<unsigned>(blocks));
  PutLe16(header, 0x0C, static_cast<unsigned>(blocks));
  PutLe16(header, 0x0E, 1);
  PutLe16(header, 0x10, static_cast<unsigned>(blocks));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
  auto put = [&](std::int64_t offset, const std::string& bytes) {
    out.seekp(offset);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  };
  const auto base = static_cast<std::int64_t>(header.size());
  for (std::int64_t b = 1; b <= blocks; ++b) {
    std::int64_t count = std::min(perBlock, rows - (b - 1) * perBlock);
    std::string head(6, '\0');
    PutLe16(head, 0, b < blocks ? static_cast<unsigned>(b + 1) : 0);
    PutLe16(head, 2, static_cast<unsigned>(b - 1));
    PutLe16(head, 4, static_cast<unsigned>((count - 1) * 4));
    put(base + (b - 1) * 32768, head);
  }
  for (std::int64_t n : filled)
    put(base + (n / perBlock) * 32768 + 6 + (n % perBlock) * 4, StoredInt(n, 4));
  // The last block is written to its end so that the file has its full length.
  put(base + blocks * 32768 - 1, std::string(1, '\0'));
  if (!out) throw std::runtime_error("cannot write " + path);
}

// A .mb file: the header block, then the blocks added, each a multiple of 4096 bytes.
class BlobFileBuilder {
 public:
  BlobFileBuilder() : bytes_(4096, '\0') { PutLe16(bytes_, 1, 1); }

  // A single-blob block (type 2) holding value; returns its offset.
  std::uint32_t AddSingle(const std::string& value) {
    std::uint32_t offset = static_cast<std::uint32_t>(bytes_.size());
    std::size_t units = (9 + value.size() + 4095) / 4096;
    std::string block(units * 4096, '\0');
    block[0] = 2;
    PutLe16(block, 1, static_cast<unsigned>(units));
    PutLe32(block, 3, static_cast<std::uint32_t>(value.size()));
    block.replace(9, value.size(), value);
    bytes_ += block;
    return offset;
  }

  // A sub-allocated block (type 3) holding the values as entries 63, 62, ...; returns its
  // offset.
  std::uint32_t AddShared(const std::vector<std::string>& values) {
    std::uint32_t offset = static_cast<std::uint32_t>(bytes_.size());
    std::string block(4096, '\0');
    block[0] = 3;
    PutLe16(block, 1, 1);
    std::size_t data = 0x150;
    for (std::size_t i = 0; i < values.size(); ++i) {
      const std::string& v = values[i];
      std::size_t entry = 0x0C + 5 * (63 - i);
      block[entry] = static_cast<char>(data / 16);
      block[entry + 1] = static_cast<char>((v.size() + 15) / 16);
      block[entry + 4] = static_cast<char>(v.size() - ((v.size() + 15) / 16 - 1) * 16);
      block.replace(data, v.size(), v);
      data += (v.size() + 15) / 16 * 16;
    }
    bytes_ += block;
    return offset;
  }

  // A free block (type 4); returns its offset.
  std::uint32_t AddFree() {
    std::uint32_t offset = static_cast<std::uint32_t>(bytes_.size());
    std::string block(4096, '\0');
    block[0] = 4;
    PutLe16(block, 1, 1);
    bytes_ += block;
    return offset;
  }

  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace tabulix::test::paradox
