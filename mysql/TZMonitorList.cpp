#include "mysql/TZMonitorList.h"

#include <algorithm>
#include <string>

#include "mysql/TZMonitor.h"

namespace tabulix {

void TZMonitorList::Add(TZMonitor* monitor) {
  monitors_.push_back(monitor);
}

void TZMonitorList::Delete(TZMonitor* monitor) {
  auto it = std::find(monitors_.begin(), monitors_.end(), monitor);
  if (it != monitors_.end()) monitors_.erase(it);
}

TZMonitor* TZMonitorList::At(std::size_t index) const {
  return index < monitors_.size() ? monitors_[index] : nullptr;
}

bool TZMonitorList::Contains(const TZMonitor* monitor) const {
  return std::find(monitors_.begin(), monitors_.end(), monitor) != monitors_.end();
}

TZMonitorList& MonitorList() {
  static TZMonitorList list;
  return list;
}

void NotifyMonitors(std::string_view sql, std::string_view result, bool error) noexcept {
  try {
    const std::string sqlText(sql);
    const std::string resultText = error ? std::string(result) : std::string("OK.");
    TZMonitorList& list = MonitorList();
    // Handlers may bind or unbind monitors; the count is taken once, and a position that no
    // longer exists is skipped.
    const std::size_t count = list.Count();
    for (std::size_t i = 0; i < count; ++i) {
      try {
        TZMonitor* monitor = list.At(i);
        if (!monitor || !monitor->OnMonitorEvent()) continue;
        // A copy: the handler may replace itself while it runs.
        TMonitorEvent handler = monitor->OnMonitorEvent();
        handler(sqlText, resultText);
      } catch (...) {
        // A monitor must not disturb the step it watches or the other monitors.
      }
    }
  } catch (...) {
    // Out of memory while copying the texts: the report is lost, the step goes on.
  }
}

}  // namespace tabulix
