#include "app/core/VersionResource.h"

#include <cstdint>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/Utf8Text.h"
#include "source/ReadOnlyFile.h"

namespace tabulix::app {

namespace {

using source::ReadOnlyFile;

// A version block is at most 64 KB: its root length is a 16-bit number.
constexpr std::uint64_t kMaxBlockSize = 0xFFFF;

std::uint64_t Le(const unsigned char* p, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

std::uint64_t Be(const unsigned char* p, int bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | p[i];
  return value;
}

// Bounds-checked little- or big-endian numbers at file offsets; a read past the end makes
// the whole lookup fail.
class FileNumbers {
 public:
  FileNumbers(const ReadOnlyFile& file, bool bigEndian) : file_(file), bigEndian_(bigEndian) {}
  bool Ok() const { return ok_; }
  std::uint64_t At(std::uint64_t offset, int bytes) {
    unsigned char buffer[8];
    if (!ok_ || !file_.ReadFully(offset, buffer, static_cast<std::size_t>(bytes))) {
      ok_ = false;
      return 0;
    }
    return bigEndian_ ? Be(buffer, bytes) : Le(buffer, bytes);
  }

 private:
  const ReadOnlyFile& file_;
  bool bigEndian_;
  bool ok_ = true;
};

std::string ReadRange(const ReadOnlyFile& file, std::uint64_t offset, std::uint64_t size) {
  if (size > kMaxBlockSize) size = kMaxBlockSize;
  if (!file.Contains(offset, size)) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!file.ReadFully(offset, bytes.data(), bytes.size())) return {};
  return bytes;
}

// ELF: the section named kVersionSectionName, found through the section-name string table.
std::string FromElf(const ReadOnlyFile& file, const unsigned char* ident) {
  const bool wide = ident[4] == 2;  // ELFCLASS64
  if (ident[4] != 1 && !wide) return {};
  if (ident[5] != 1 && ident[5] != 2) return {};
  FileNumbers n(file, ident[5] == 2);
  const std::uint64_t shoff = wide ? n.At(0x28, 8) : n.At(0x20, 4);
  const std::uint64_t entsize = n.At(wide ? 0x3A : 0x2E, 2);
  std::uint64_t count = n.At(wide ? 0x3C : 0x30, 2);
  std::uint64_t names = n.At(wide ? 0x3E : 0x32, 2);
  if (!n.Ok() || shoff == 0 || entsize < (wide ? 64u : 40u)) return {};
  // Many sections: the counts move into the first section header.
  if (count == 0) count = wide ? n.At(shoff + 32, 8) : n.At(shoff + 20, 4);
  if (names == 0xFFFF) names = n.At(shoff + (wide ? 40 : 24), 4);
  if (!n.Ok() || names >= count || !file.Contains(shoff, count * entsize)) return {};
  struct Section {
    std::uint64_t name, type, offset, size;
  };
  auto section = [&](std::uint64_t index) {
    std::uint64_t at = shoff + index * entsize;
    return Section{n.At(at, 4), n.At(at + 4, 4), wide ? n.At(at + 24, 8) : n.At(at + 16, 4),
                   wide ? n.At(at + 32, 8) : n.At(at + 20, 4)};
  };
  const Section table = section(names);
  if (!n.Ok()) return {};
  std::string wanted(kVersionSectionName);
  wanted.push_back('\0');
  std::string name(wanted.size(), '\0');
  for (std::uint64_t i = 0; i < count; ++i) {
    Section s = section(i);
    constexpr std::uint64_t kNoBits = 8;
    if (!n.Ok()) return {};
    if (s.type == kNoBits || s.name >= table.size) continue;
    std::size_t got = file.ReadAt(table.offset + s.name, name.data(), name.size());
    if (got == name.size() && name == wanted) return ReadRange(file, s.offset, s.size);
  }
  return {};
}

// PE: the first RT_VERSION resource, whatever its name and language.
std::string FromPe(const ReadOnlyFile& file) {
  FileNumbers n(file, false);
  const std::uint64_t pe = n.At(0x3C, 4);
  if (!n.Ok() || n.At(pe, 4) != 0x00004550) return {};  // "PE\0\0"
  const std::uint64_t sections = n.At(pe + 6, 2);
  const std::uint64_t optionalSize = n.At(pe + 20, 2);
  const std::uint64_t optional = pe + 24;
  const std::uint64_t magic = n.At(optional, 2);
  if (!n.Ok() || (magic != 0x10B && magic != 0x20B)) return {};
  const std::uint64_t directories = optional + (magic == 0x10B ? 96 : 112);
  const std::uint64_t directoryCount = n.At(directories - 4, 4);
  if (directoryCount < 3 || directories + 3 * 8 > optional + optionalSize) return {};
  const std::uint64_t resourceRva = n.At(directories + 2 * 8, 4);
  if (!n.Ok() || resourceRva == 0) return {};

  // Relative virtual addresses to file offsets through the section table.
  const std::uint64_t table = optional + optionalSize;
  auto offsetOf = [&](std::uint64_t rva, std::uint64_t& offset) {
    for (std::uint64_t i = 0; i < sections; ++i) {
      std::uint64_t at = table + i * 40;
      std::uint64_t virtualSize = n.At(at + 8, 4), address = n.At(at + 12, 4);
      std::uint64_t rawSize = n.At(at + 16, 4), raw = n.At(at + 20, 4);
      if (!n.Ok()) return false;
      std::uint64_t extent = virtualSize > rawSize ? virtualSize : rawSize;
      if (rva >= address && rva - address < extent) {
        if (rva - address >= rawSize) return false;  // not backed by the file
        offset = raw + (rva - address);
        return true;
      }
    }
    return false;
  };
  std::uint64_t base = 0;
  if (!offsetOf(resourceRva, base)) return {};

  // Three directory levels (type, name, language); the first two entries below the type are
  // taken, and the leaf names the data.
  constexpr std::uint64_t kSubdirectory = 0x80000000u;
  constexpr std::uint64_t kVersionType = 16;
  std::uint64_t directory = base;
  for (int level = 0; level < 3; ++level) {
    const std::uint64_t entries = n.At(directory + 12, 2) + n.At(directory + 14, 2);
    std::uint64_t target = 0;
    bool found = false;
    for (std::uint64_t i = 0; i < entries && n.Ok() && !found; ++i) {
      std::uint64_t name = n.At(directory + 16 + i * 8, 4);
      if (level == 0 && name != kVersionType) continue;
      target = n.At(directory + 16 + i * 8 + 4, 4);
      found = true;
    }
    if (!n.Ok() || !found) return {};
    const bool subdirectory = (target & kSubdirectory) != 0;
    if (subdirectory != (level < 2)) return {};
    directory = base + (target & ~kSubdirectory);
  }
  const std::uint64_t dataRva = n.At(directory, 4);
  const std::uint64_t dataSize = n.At(directory + 4, 4);
  std::uint64_t data = 0;
  if (!n.Ok() || !offsetOf(dataRva, data)) return {};
  return ReadRange(file, data, dataSize);
}

// One node of a block: wLength, wValueLength, wType, the zero-terminated UTF-16 key, the value
// and the children, each part starting on a 4-byte boundary of the block.
struct Node {
  std::size_t end = 0;  // the node's end, clamped to its parent's
  std::size_t value = 0;
  std::size_t valueEnd = 0;
  std::size_t children = 0;
  bool text = false;
  std::u16string key;
};

std::size_t Align4(std::size_t offset) {
  return (offset + 3) & ~std::size_t{3};
}

unsigned Word(std::string_view block, std::size_t at) {
  return static_cast<unsigned char>(block[at]) | (static_cast<unsigned char>(block[at + 1]) << 8);
}

bool ParseNode(std::string_view block, std::size_t at, std::size_t limit, Node& node) {
  if (at + 6 > limit) return false;
  const std::size_t length = Word(block, at);
  const std::size_t valueLength = Word(block, at + 2);
  node.text = Word(block, at + 4) == 1;
  if (length < 6) return false;
  node.end = std::min(at + length, limit);
  node.key.clear();
  std::size_t p = at + 6;
  for (;; p += 2) {
    if (p + 2 > node.end) return false;
    char16_t c = static_cast<char16_t>(Word(block, p));
    if (c == 0) break;
    node.key.push_back(c);
  }
  node.value = std::min(Align4(p + 2), node.end);
  // Text lengths count characters, binary ones bytes. Some writers count text in bytes too;
  // a text is read up to its zero anyway, so only the start of the children depends on it.
  std::size_t valueBytes = node.text ? valueLength * 2 : valueLength;
  node.valueEnd = std::min(node.value + valueBytes, node.end);
  node.children = std::min(Align4(node.valueEnd), node.end);
  return true;
}

bool KeyEquals(const std::u16string& key, std::string_view name) {
  if (key.size() != name.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    char16_t a = key[i];
    char16_t b = static_cast<unsigned char>(name[i]);
    if (a >= 'a' && a <= 'z') a = static_cast<char16_t>(a - 32);
    if (b >= 'a' && b <= 'z') b = static_cast<char16_t>(b - 32);
    if (a != b) return false;
  }
  return true;
}

}  // namespace

std::string ReadVersionResource(const std::string& path) {
  try {
    ReadOnlyFile file(path);
    unsigned char ident[16] = {};
    if (!file.ReadFully(0, ident, 2)) return {};
    if (ident[0] == 'M' && ident[1] == 'Z') return FromPe(file);
    if (file.ReadFully(0, ident, sizeof ident) && ident[0] == 0x7F && ident[1] == 'E' &&
        ident[2] == 'L' && ident[3] == 'F') {
      return FromElf(file, ident);
    }
  } catch (const Exception&) {
    // A file that cannot be opened has no version information.
  }
  return {};
}

std::optional<VersionValue> QueryVersionValue(std::string_view block, std::string_view path) {
  Node node;
  if (!ParseNode(block, 0, block.size(), node)) return std::nullopt;
  while (!path.empty()) {
    if (path.front() == '\\') {
      path.remove_prefix(1);
      continue;
    }
    std::size_t slash = path.find('\\');
    std::string_view name = path.substr(0, slash);
    path.remove_prefix(slash == std::string_view::npos ? path.size() : slash);
    Node child;
    bool found = false;
    for (std::size_t at = node.children; at < node.end;) {
      if (!ParseNode(block, at, node.end, child)) break;
      if (KeyEquals(child.key, name)) {
        found = true;
        break;
      }
      at = Align4(child.end);
    }
    if (!found) return std::nullopt;
    node = std::move(child);
  }
  // A text runs to its zero, which some writers do not count; it is read up to the node's end.
  std::size_t end = node.text && node.valueEnd > node.value ? node.end : node.valueEnd;
  return VersionValue{block.substr(node.value, end - node.value), node.text};
}

std::string VersionText(const VersionValue& value) {
  std::string out;
  std::string_view bytes = value.bytes;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t c = Word(bytes, i);
    if (c == 0) break;
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
      char32_t low = Word(bytes, i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      } else {
        c = 0xFFFD;
      }
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace tabulix::app
