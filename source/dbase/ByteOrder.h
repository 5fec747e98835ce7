#pragma once

#include <cstdint>

// Fixed-width integers from unaligned bytes in either byte order.
namespace tabulix::source::dbase {

inline std::uint16_t LoadLE16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t LoadLE32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

inline std::uint64_t LoadLE64(const unsigned char* p) {
  return std::uint64_t{LoadLE32(p)} | (std::uint64_t{LoadLE32(p + 4)} << 32);
}

inline std::uint16_t LoadBE16(const unsigned char* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t LoadBE32(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

inline std::uint64_t LoadBE64(const unsigned char* p) {
  return (std::uint64_t{LoadBE32(p)} << 32) | std::uint64_t{LoadBE32(p + 4)};
}

}  // namespace tabulix::source::dbase
