#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace tabulix {

class TZMonitor;

// The process-wide list of monitors (not owned), in registration order.
class TZMonitorList {
 public:
  // Appends the monitor.
  void Add(TZMonitor* monitor);
  // Removes the first occurrence of the monitor; nothing when it is absent.
  void Delete(TZMonitor* monitor);
  std::size_t Count() const { return monitors_.size(); }
  // The monitor at a position, or null when the position does not exist.
  TZMonitor* At(std::size_t index) const;
  bool Contains(const TZMonitor* monitor) const;

 private:
  std::vector<TZMonitor*> monitors_;
};

// The one list of the process.
TZMonitorList& MonitorList();

// Delivers one report to every monitor of the list, in order. A step without the error flag
// is reported with the result "OK.". A handler that raises is skipped over; nothing raises to
// the caller.
void NotifyMonitors(std::string_view sql, std::string_view result, bool error) noexcept;

}  // namespace tabulix
