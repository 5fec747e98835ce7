#pragma once

// Writers for small dBase tables and memo files that the tests build byte by byte.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace tabulix::source::dbase_test {

inline std::string Le16(std::uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
inline std::string Le32(std::uint32_t v) {
  return Le16(v & 0xFFFF) + Le16(v >> 16);
}
inline std::string Le64(std::uint64_t v) {
  return Le32(static_cast<std::uint32_t>(v)) + Le32(static_cast<std::uint32_t>(v >> 32));
}
inline std::string Be16(std::uint32_t v) {
  return {static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)};
}
inline std::string Be32(std::uint32_t v) {
  return Be16(v >> 16) + Be16(v & 0xFFFF);
}
// Bytes from a hex text such as "80 00 00 01".
inline std::string Hex(const std::string& text) {
  std::string out;
  int nibbles = 0;
  unsigned value = 0;
  for (char c : text) {
    int d = c >= '0' && c <= '9'   ? c - '0'
            : c >= 'A' && c <= 'F' ? c - 'A' + 10
            : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                   : -1;
    if (d < 0) continue;
    value = value * 16 + static_cast<unsigned>(d);
    if (++nibbles == 2) {
      out += static_cast<char>(value);
      nibbles = 0;
      value = 0;
    }
  }
  return out;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct DbfField {
  std::string name;
  char type;
  int length;
  int decimals = 0;
  std::uint8_t flags = 0;  // Visual FoxPro
};

// A .dbf in the layout its version byte calls for: 32-byte descriptors, 48-byte ones for
// dBase 7, the 263-byte backlink for Visual FoxPro.
class DbfWriter {
 public:
  explicit DbfWriter(std::uint8_t version) : version_(version) {}

  DbfWriter& Field(DbfField f) {
    fields_.push_back(std::move(f));
    return *this;
  }
  DbfWriter& LanguageDriver(std::uint8_t id) {
    languageDriver_ = id;
    return *this;
  }
  DbfWriter& DriverName(std::string name) {
    driverName_ = std::move(name);
    return *this;
  }
  // One record from its field values, each padded with blanks to the field's length.
  DbfWriter& Row(const std::vector<std::string>& values, bool deleted = false) {
    std::string record(1, deleted ? '*' : ' ');
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      std::string v = i < values.size() ? values[i] : "";
      v.resize(static_cast<std::size_t>(fields_[i].length), ' ');
      record += v;
    }
    records_.push_back(record);
    return *this;
  }
  DbfWriter& HeaderRecordCount(std::uint32_t count) {
    headerCount_ = count;
    return *this;
  }
  DbfWriter& HeaderRecordLength(std::uint32_t length) {
    headerRecordLength_ = length;
    return *this;
  }

  int RecordLength() const {
    int length = 1;
    for (const auto& f : fields_) length += f.length;
    return length;
  }

  std::string Bytes() const {
    bool dbase7 = (version_ & 0x07) == 4;
    bool vfp = version_ >= 0x30 && version_ <= 0x32;
    std::string descriptors;
    for (const auto& f : fields_) {
      std::string d(dbase7 ? 48 : 32, '\0');
      d.replace(0, f.name.size(), f.name);
      if (dbase7) {
        d[32] = f.type;
        d[33] = static_cast<char>(f.length);
        d[34] = static_cast<char>(f.decimals);
      } else {
        d[11] = f.type;
        // Character fields over 255 keep the high byte of their length in the decimals.
        d[16] = static_cast<char>(f.length & 0xFF);
        d[17] = static_cast<char>(f.length > 255 ? f.length >> 8 : f.decimals);
        d[18] = static_cast<char>(f.flags);
      }
      descriptors += d;
    }
    std::string header(dbase7 ? 68 : 32, '\0');
    header[0] = static_cast<char>(version_);
    header[1] = 124;
    header[2] = 1;
    header[3] = 2;
    std::uint32_t count =
        headerCount_ >= 0 ? static_cast<std::uint32_t>(headerCount_) : records_.size();
    header.replace(4, 4, Le32(count));
    std::size_t headerLength = header.size() + descriptors.size() + 1 + (vfp ? 263 : 0);
    header.replace(8, 2, Le16(static_cast<std::uint32_t>(headerLength)));
    std::uint32_t recordLength = headerRecordLength_ ? headerRecordLength_ : RecordLength();
    header.replace(10, 2, Le16(recordLength));
    header[29] = static_cast<char>(languageDriver_);
    if (dbase7) header.replace(32, driverName_.size(), driverName_);
    std::string out = header + descriptors + "\x0D" + std::string(vfp ? 263 : 0, '\0');
    for (const auto& r : records_) out += r;
    return out + "\x1A";
  }

  std::string Write(const std::string& path) const {
    WriteBytes(path, Bytes());
    return path;
  }

 private:
  std::uint8_t version_;
  std::uint8_t languageDriver_ = 0;
  std::string driverName_;
  std::vector<DbfField> fields_;
  std::vector<std::string> records_;
  long long headerCount_ = -1;
  std::uint32_t headerRecordLength_ = 0;
};

// Memo files in the three layouts; Add returns the block number to store in the record.
class DbtIIIWriter {
 public:
  DbtIIIWriter() : bytes_(512, '\0') {}
  std::uint32_t Add(const std::string& text) {
    auto block = static_cast<std::uint32_t>(bytes_.size() / 512);
    bytes_ += text + "\x1A\x1A";
    bytes_.resize((bytes_.size() + 511) / 512 * 512, ' ');
    bytes_.replace(0, 4, Le32(static_cast<std::uint32_t>(bytes_.size() / 512)));
    return block;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

class DbtIVWriter {
 public:
  explicit DbtIVWriter(std::uint32_t blockSize = 512) : blockSize_(blockSize) {
    bytes_.assign(blockSize_, '\0');
    bytes_.replace(20, 2, Le16(blockSize_));
  }
  std::uint32_t Add(const std::string& data) {
    auto block = static_cast<std::uint32_t>(bytes_.size() / blockSize_);
    bytes_ += "\xFF\xFF\x08" + std::string(1, '\0') +
              Le32(static_cast<std::uint32_t>(data.size() + 8)) + data;
    // Leftovers after the data, as dBase leaves them.
    bytes_ += "\x1F\x20\x1F\x20";
    bytes_.resize((bytes_.size() + blockSize_ - 1) / blockSize_ * blockSize_, 'x');
    return block;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::uint32_t blockSize_;
  std::string bytes_;
};

class FptWriter {
 public:
  explicit FptWriter(std::uint32_t blockSize = 64) : blockSize_(blockSize) {
    bytes_.assign(512, '\0');
    bytes_.replace(6, 2, Be16(blockSize_));
  }
  std::uint32_t Add(const std::string& data, std::uint32_t type = 1) {
    bytes_.resize((bytes_.size() + blockSize_ - 1) / blockSize_ * blockSize_, '\0');
    auto block = static_cast<std::uint32_t>(bytes_.size() / blockSize_);
    bytes_ += Be32(type) + Be32(static_cast<std::uint32_t>(data.size())) + data;
    return block;
  }
  std::string Bytes() const {
    std::string out = bytes_;
    out.resize((out.size() + blockSize_ - 1) / blockSize_ * blockSize_, '\0');
    out.replace(0, 4, Be32(static_cast<std::uint32_t>(out.size() / blockSize_)));
    return out;
  }

 private:
  std::uint32_t blockSize_;
  std::string bytes_;
};

// A 10-character memo pointer as dBase writes it, right-aligned.
inline std::string Pointer10(std::uint32_t block) {
  std::string digits = std::to_string(block);
  return std::string(10 - digits.size(), ' ') + digits;
}

}  // namespace tabulix::source::dbase_test
