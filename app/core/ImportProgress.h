#pragma once

#include <cstdint>
#include <string>

namespace tabulix::app {

// Progress of the copy loop. The engine reports at most about ten times a second, so showing
// a report may take a repaint without slowing the copy; it is called on the thread that runs
// the import, which does not return to an event loop before the run ends.
class ImportProgress {
 public:
  virtual ~ImportProgress() = default;
  // done of total source records are on the server, at rowsPerSecond since the copy began.
  virtual void Update(std::int64_t done, std::int64_t total, double rowsPerSecond) = 0;
  // The copy loop ended, completed or not; the display may go.
  virtual void Finish() = 0;
};

// The time the rest of the copy takes at the rate so far, as the displays show it after the
// rate: "about 12 s left", "about 3 min 05 s left", "about 1 h 02 min left"; empty while it
// cannot be told (no rate yet) or nothing is left.
std::string TimeLeftText(std::int64_t done, std::int64_t total, double rowsPerSecond);

}  // namespace tabulix::app
