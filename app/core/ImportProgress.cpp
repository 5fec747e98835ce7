#include "app/core/ImportProgress.h"

#include <cmath>
#include <cstdio>

namespace tabulix::app {

std::string TimeLeftText(std::int64_t done, std::int64_t total, double rowsPerSecond) {
  if (!(rowsPerSecond > 0) || done >= total) return {};
  const double left = static_cast<double>(total - done) / rowsPerSecond;
  if (!std::isfinite(left) || left > 1e7) return {};
  const auto seconds = static_cast<long long>(std::ceil(left));
  char text[64];
  if (seconds < 60) {
    std::snprintf(text, sizeof text, "about %lld s left", seconds);
  } else if (seconds < 3600) {
    std::snprintf(text, sizeof text, "about %lld min %02lld s left", seconds / 60, seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "about %lld h %02lld min left", seconds / 3600,
                  seconds / 60 % 60);
  }
  return text;
}

}  // namespace tabulix::app
