#include "framework/TStream.h"

namespace tabulix {

std::string TStream::ReadRest() {
  std::string out;
  std::int64_t rest = Size() - Position();
  if (rest > 0) out.reserve(static_cast<std::size_t>(rest));
  char chunk[4096];
  for (;;) {
    std::size_t n = Read(chunk, sizeof chunk);
    if (n == 0) break;
    out.append(chunk, n);
  }
  return out;
}

}  // namespace tabulix
