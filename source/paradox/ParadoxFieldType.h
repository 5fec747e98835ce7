#pragma once

#include <cstdint>

#include "framework/FieldType.h"

namespace tabulix::source::paradox {

// How the reader treats one Paradox field type code.
struct ParadoxFieldType {
  std::uint8_t code = 0;
  char letter = 0;  // the letter the Paradox documentation uses
  TFieldType type = ftUnknown;
  int fixedSize = 0;  // bytes in the record; 0 when the descriptor's size byte says
  bool blob = false;  // value lives in a blob descriptor (leader + 10 bytes)
};

// The type of a field type code; nullptr for codes the reader does not know.
const ParadoxFieldType* FindParadoxFieldType(std::uint8_t code);

// Bytes a BCD value takes in the record whatever its scale.
inline constexpr int kBcdStorageSize = 17;
// Bytes of the blob descriptor at the end of a blob field.
inline constexpr int kBlobDescriptorSize = 10;

}  // namespace tabulix::source::paradox
