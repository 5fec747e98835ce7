#pragma once

#include <cstdint>
#include <string>

namespace tabulix {

// Options of an index definition, combined as bits.
enum TIndexOption : std::uint8_t {
  ixPrimary = 1,
  ixUnique = 2,
  ixDescending = 4,
};

// An index as the dataset offers it: a name, the dataset's field names joined with ",", and
// its options.
struct TIndexDef {
  std::string Name{};
  std::string Fields{};
  std::uint8_t Options = 0;

  bool Has(TIndexOption option) const { return Options & option; }
};

}  // namespace tabulix
