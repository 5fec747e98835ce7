#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>

namespace tabulix::app {

// Builds a version-information block at compile time, laid out as Windows programs carry it:
// VS_VERSIONINFO with the fixed file information, one StringFileInfo string table for one
// translation, and VarFileInfo with that translation. The program places the result in a
// section of its executable, where the version reader finds it.

struct VersionString {
  std::string_view name;
  std::string_view value;  // ASCII
};

struct VersionBlockContents {
  std::uint16_t language = 0;
  std::uint16_t codePage = 0;
  std::array<std::uint16_t, 4> fileVersion{};
  std::array<std::uint16_t, 4> productVersion{};
  std::span<const VersionString> strings;
};

// A block of at most Capacity bytes, of which size are used.
template <std::size_t Capacity>
struct VersionBlockBytes {
  std::array<unsigned char, Capacity> bytes{};
  std::size_t size = 0;
};

namespace version_block_detail {

template <std::size_t Capacity>
class Writer {
 public:
  constexpr void Word(std::uint32_t value) {
    Byte(value & 0xFF);
    Byte((value >> 8) & 0xFF);
  }
  constexpr void Dword(std::uint32_t value) {
    Word(value & 0xFFFF);
    Word(value >> 16);
  }
  constexpr void Text(std::string_view text) {
    for (char c : text) {
      if (static_cast<unsigned char>(c) >= 0x80) throw std::invalid_argument("ASCII texts only");
      Word(static_cast<unsigned char>(c));
    }
    Word(0);
  }
  constexpr void Align() {
    while (out.size % 4 != 0) Byte(0);
  }
  // Starts a node (each one on a 4-byte boundary) and gives its offset for End.
  constexpr std::size_t Begin(std::string_view key, std::size_t valueLength, bool text) {
    Align();
    std::size_t at = out.size;
    Word(0);
    Word(static_cast<std::uint32_t>(valueLength));
    Word(text ? 1 : 0);
    Text(key);
    Align();
    return at;
  }
  // The node's length runs to here, without padding after it.
  constexpr void End(std::size_t at) {
    std::size_t length = out.size - at;
    if (length > 0xFFFF) throw std::length_error("a version node is longer than 64 KB");
    out.bytes[at] = static_cast<unsigned char>(length & 0xFF);
    out.bytes[at + 1] = static_cast<unsigned char>(length >> 8);
  }

  VersionBlockBytes<Capacity> out;

 private:
  constexpr void Byte(std::uint32_t value) {
    if (out.size == Capacity) throw std::length_error("version block capacity exceeded");
    out.bytes[out.size++] = static_cast<unsigned char>(value);
  }
};

constexpr char HexDigit(unsigned value) {
  return "0123456789ABCDEF"[value & 0xF];
}

}  // namespace version_block_detail

template <std::size_t Capacity = 4096>
constexpr VersionBlockBytes<Capacity> BuildVersionBlock(const VersionBlockContents& contents) {
  using namespace version_block_detail;
  Writer<Capacity> w;
  constexpr std::size_t kFixedInfoSize = 13 * 4;
  std::size_t root = w.Begin("VS_VERSION_INFO", kFixedInfoSize, false);
  w.Dword(0xFEEF04BD);  // signature
  w.Dword(0x00010000);  // structure version 1.0
  w.Dword((std::uint32_t{contents.fileVersion[0]} << 16) | contents.fileVersion[1]);
  w.Dword((std::uint32_t{contents.fileVersion[2]} << 16) | contents.fileVersion[3]);
  w.Dword((std::uint32_t{contents.productVersion[0]} << 16) | contents.productVersion[1]);
  w.Dword((std::uint32_t{contents.productVersion[2]} << 16) | contents.productVersion[3]);
  w.Dword(0x3F);     // flags mask
  w.Dword(0);        // flags
  w.Dword(0x40004);  // VOS_NT_WINDOWS32, the value every Windows program carries
  w.Dword(1);        // VFT_APP
  w.Dword(0);        // subtype
  w.Dword(0);        // date, high
  w.Dword(0);        // date, low

  // The string table is named by language and code page as 8 upper-case hex digits.
  char table[8] = {};
  const std::uint32_t code = (std::uint32_t{contents.language} << 16) | contents.codePage;
  for (int i = 0; i < 8; ++i) table[i] = HexDigit(code >> (28 - 4 * i));

  std::size_t stringInfo = w.Begin("StringFileInfo", 0, true);
  std::size_t stringTable = w.Begin(std::string_view(table, 8), 0, true);
  for (const VersionString& s : contents.strings) {
    std::size_t node = w.Begin(s.name, s.value.size() + 1, true);
    w.Text(s.value);
    w.End(node);
  }
  w.End(stringTable);
  w.End(stringInfo);

  std::size_t varInfo = w.Begin("VarFileInfo", 0, true);
  std::size_t translation = w.Begin("Translation", 4, false);
  w.Word(contents.language);
  w.Word(contents.codePage);
  w.End(translation);
  w.End(varInfo);
  w.End(root);
  return w.out;
}

// The used bytes of a built block as an array of their own size.
template <std::size_t Size, std::size_t Capacity>
constexpr std::array<unsigned char, Size> VersionBlockArray(
    const VersionBlockBytes<Capacity>& block) {
  static_assert(Size <= Capacity);
  std::array<unsigned char, Size> bytes{};
  for (std::size_t i = 0; i < Size; ++i) bytes[i] = block.bytes[i];
  return bytes;
}

}  // namespace tabulix::app
