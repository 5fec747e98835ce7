#pragma once

#include <array>
#include <cstdint>

namespace tabulix::mysql_internal {

// The target bytes of the source bytes 128..255; 0 where the target lacks the character.
using EncodingTable = std::array<std::uint8_t, 128>;

// Generated into EncodingTables.cpp by scripts/gen-encoding-tables.py.
extern const EncodingTable kCp1251To866;
extern const EncodingTable kCp1251ToKoi8r;
extern const EncodingTable kCp1251ToKoi8u;
extern const EncodingTable kCp1250ToIso88592;
extern const EncodingTable k866ToCp1251;
extern const EncodingTable k866ToKoi8r;
extern const EncodingTable kKoi8rToCp1251;
extern const EncodingTable kKoi8rTo866;
extern const EncodingTable kKoi8rToIso88592;
extern const EncodingTable kKoi8rToCp1250;
extern const EncodingTable kKoi8uToCp1251;
extern const EncodingTable kIso88592ToCp1250;
extern const EncodingTable kIso88592ToKoi8r;
extern const EncodingTable kCp1250ToKoi8r;

}  // namespace tabulix::mysql_internal
