#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "MonitorRecorder.h"
#include "mysql/TZMonitor.h"
#include "mysql/TZMonitorList.h"

namespace tabulix {
namespace {

using test::MonitorRecorder;
using test::Report;

TEST(NotifyMonitors, SuccessIsReportedAsOkWhateverTheCallerPassed) {
  MonitorRecorder recorder;
  NotifyMonitors("SELECT 1", "", false);
  NotifyMonitors("SELECT 2", "anything", false);
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"SELECT 1", "OK."}, {"SELECT 2", "OK."}}));
}

TEST(NotifyMonitors, FailureCarriesTheCallersText) {
  MonitorRecorder recorder;
  NotifyMonitors("SELEC 1", "You have an error in your SQL syntax", true);
  NotifyMonitors("INSERT INTO t VALUES (1)", "", true);
  EXPECT_EQ(recorder.Take(),
            (std::vector<Report>{{"SELEC 1", "You have an error in your SQL syntax"},
                                 {"INSERT INTO t VALUES (1)", ""}}));
}

TEST(NotifyMonitors, MonitorOutsideTheListHearsNothing) {
  std::vector<std::string> heard;
  TZMonitor monitor;
  monitor.SetOnMonitorEvent(
      [&](const std::string& sql, const std::string&) { heard.push_back(sql); });
  NotifyMonitors("SELECT 1", "", false);
  EXPECT_TRUE(heard.empty());
  EXPECT_EQ(monitor.Transaction(), nullptr);
}

TEST(NotifyMonitors, DeliversInRegistrationOrderPastARaisingHandler) {
  std::vector<std::string> order;
  TZMonitor first;
  TZMonitor silent;  // no handler: skipped
  TZMonitor second;
  first.SetOnMonitorEvent([&](const std::string&, const std::string&) {
    order.push_back("first");
    throw std::runtime_error("handler failed");
  });
  second.SetOnMonitorEvent(
      [&](const std::string&, const std::string& result) { order.push_back("second " + result); });
  MonitorList().Add(&first);
  MonitorList().Add(&silent);
  MonitorList().Add(&second);
  EXPECT_NO_THROW(NotifyMonitors("BEGIN", "", false));
  EXPECT_EQ(order, (std::vector<std::string>{"first", "second OK."}));
  MonitorList().Delete(&first);
  MonitorList().Delete(&silent);
  MonitorList().Delete(&second);
}

TEST(NotifyMonitors, HandlerThatUnregistersMonitorsEndsSafely) {
  std::vector<std::string> order;
  TZMonitor first;
  TZMonitor second;
  first.SetOnMonitorEvent([&](const std::string&, const std::string&) {
    order.push_back("first");
    MonitorList().Delete(&first);
    MonitorList().Delete(&second);
  });
  second.SetOnMonitorEvent(
      [&](const std::string&, const std::string&) { order.push_back("second"); });
  const std::size_t before = MonitorList().Count();
  MonitorList().Add(&first);
  MonitorList().Add(&second);
  NotifyMonitors("COMMIT", "", false);
  EXPECT_EQ(order, std::vector<std::string>{"first"});
  EXPECT_EQ(MonitorList().Count(), before);
}

TEST(NotifyMonitors, MonitorAddedDuringDeliveryWaitsForTheNextReport) {
  std::vector<std::string> order;
  TZMonitor late;
  late.SetOnMonitorEvent(
      [&](const std::string& sql, const std::string&) { order.push_back("late " + sql); });
  MonitorRecorder recorder;
  recorder.Monitor().SetOnMonitorEvent([&](const std::string& sql, const std::string&) {
    order.push_back("recorder " + sql);
    if (!MonitorList().Contains(&late)) MonitorList().Add(&late);
  });
  NotifyMonitors("A", "", false);
  NotifyMonitors("B", "", false);
  EXPECT_EQ(order, (std::vector<std::string>{"recorder A", "recorder B", "late B"}));
  MonitorList().Delete(&late);
}

TEST(TZMonitorList, DeleteRemovesTheFirstOccurrenceOnly) {
  TZMonitor a;
  TZMonitor b;
  const std::size_t before = MonitorList().Count();
  MonitorList().Add(&a);
  MonitorList().Add(&b);
  MonitorList().Add(&a);
  MonitorList().Delete(&a);
  ASSERT_EQ(MonitorList().Count(), before + 2);
  EXPECT_EQ(MonitorList().At(before), &b);
  EXPECT_EQ(MonitorList().At(before + 1), &a);
  EXPECT_EQ(MonitorList().At(before + 2), nullptr);
  MonitorList().Delete(&a);
  MonitorList().Delete(&b);
  MonitorList().Delete(&b);  // absent: nothing happens
  EXPECT_EQ(MonitorList().Count(), before);
}

TEST(TZMonitor, DestroyedMonitorLeavesTheList) {
  const std::size_t before = MonitorList().Count();
  auto monitor = std::make_unique<TZMonitor>();
  MonitorList().Add(monitor.get());
  monitor.reset();
  EXPECT_EQ(MonitorList().Count(), before);
  NotifyMonitors("SELECT 1", "", false);  // must not reach the freed monitor
}

}  // namespace
}  // namespace tabulix
