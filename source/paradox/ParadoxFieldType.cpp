#include "source/paradox/ParadoxFieldType.h"

#include <array>

namespace tabulix::source::paradox {
namespace {

constexpr std::array<ParadoxFieldType, 17> kTypes{{
    {0x01, 'A', ftString, 0, false},
    {0x02, 'D', ftDate, 4, false},
    {0x03, 'S', ftSmallint, 2, false},
    {0x04, 'I', ftInteger, 4, false},
    {0x05, '$', ftCurrency, 8, false},
    {0x06, 'N', ftFloat, 8, false},
    {0x09, 'L', ftBoolean, 1, false},
    {0x0C, 'M', ftMemo, 0, true},
    {0x0D, 'B', ftBlob, 0, true},
    {0x0E, 'F', ftFmtMemo, 0, true},
    {0x0F, 'O', ftParadoxOle, 0, true},
    {0x10, 'G', ftGraphic, 0, true},
    {0x14, 'T', ftTime, 4, false},
    {0x15, '@', ftDateTime, 8, false},
    {0x16, '+', ftAutoInc, 4, false},
    {0x17, '#', ftBCD, kBcdStorageSize, false},
    {0x18, 'Y', ftBytes, 0, false},
}};

}  // namespace

const ParadoxFieldType* FindParadoxFieldType(std::uint8_t code) {
  for (const ParadoxFieldType& t : kTypes) {
    if (t.code == code) return &t;
  }
  return nullptr;
}

}  // namespace tabulix::source::paradox
