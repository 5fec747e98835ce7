#pragma once

#include <cstdint>

namespace tabulix {

// How a blob field's stream is opened.
enum TBlobStreamMode : std::uint8_t { bmRead, bmWrite, bmReadWrite };

}  // namespace tabulix
