#pragma once

#include <string>
#include <utility>
#include <vector>

#include "mysql/TZMonitor.h"
#include "mysql/TZMonitorList.h"

namespace tabulix::test {

// One report as a monitor received it.
struct Report {
  std::string sql;
  std::string result;
  friend bool operator==(const Report&, const Report&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Report& r) {
  return out << "{" << r.sql << " -> " << r.result << "}";
}

// A monitor in the process-wide list for the life of the recorder, keeping what it receives.
class MonitorRecorder {
 public:
  MonitorRecorder() {
    monitor_.SetOnMonitorEvent([this](const std::string& sql, const std::string& result) {
      reports.push_back({sql, result});
    });
    MonitorList().Add(&monitor_);
  }
  ~MonitorRecorder() { MonitorList().Delete(&monitor_); }
  MonitorRecorder(const MonitorRecorder&) = delete;
  MonitorRecorder& operator=(const MonitorRecorder&) = delete;

  TZMonitor& Monitor() { return monitor_; }
  // The reports received so far, forgotten afterwards.
  std::vector<Report> Take() { return std::exchange(reports, {}); }

  std::vector<Report> reports;

 private:
  TZMonitor monitor_;
};

}  // namespace tabulix::test
