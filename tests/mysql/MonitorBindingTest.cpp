// Monitors bound through transaction components: binding decides only whether a monitor is in
// the process-wide list, and a bound monitor hears every MySQL step of the process.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "DirSession.h"
#include "MonitorRecorder.h"
#include "mysql/TZMonitor.h"
#include "mysql/TZMonitorList.h"
#include "mysql/TZMySqlDatabase.h"
#include "mysql/TZMySqlTransact.h"

namespace tabulix {
namespace {

using test::Report;

const std::string kName = "mysql";

void Configure(TZMySqlDatabase& database) {
  const test::TestServer& server = test::Server();
  database.SetHost(server.host);
  database.SetPort(std::to_string(server.port));
  database.SetLogin(server.user);
  database.SetPassword(server.password);
  database.SetDatabase(kName);
}

// A monitor that keeps what it hears.
struct Listener {
  Listener() {
    monitor.SetOnMonitorEvent([this](const std::string& sql, const std::string& result) {
      reports.push_back({sql, result});
    });
  }
  TZMonitor monitor;
  std::vector<Report> reports;
};

std::size_t Occurrences(const TZMonitor* monitor) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < MonitorList().Count(); ++i) n += MonitorList().At(i) == monitor;
  return n;
}

TEST(MonitorBinding, BindingDecidesMembershipInTheList) {
  TZMySqlTransact first;
  TZMySqlTransact second;
  Listener listener;
  EXPECT_EQ(Occurrences(&listener.monitor), 0u);
  NotifyMonitors("SELECT 1", "", false);
  EXPECT_TRUE(listener.reports.empty());

  listener.monitor.SetTransaction(&first);
  EXPECT_EQ(listener.monitor.Transaction(), &first);
  EXPECT_EQ(Occurrences(&listener.monitor), 1u);
  listener.monitor.SetTransaction(&second);
  listener.monitor.SetTransaction(&second);  // the same again: nothing happens
  EXPECT_EQ(listener.monitor.Transaction(), &second);
  EXPECT_EQ(Occurrences(&listener.monitor), 1u);
  NotifyMonitors("SELECT 2", "", false);
  EXPECT_EQ(listener.reports, (std::vector<Report>{{"SELECT 2", "OK."}}));

  listener.monitor.SetTransaction(nullptr);
  EXPECT_EQ(Occurrences(&listener.monitor), 0u);
}

TEST(MonitorBinding, MonitorForgetsATransactionThatGoes) {
  Listener listener;
  auto transaction = std::make_unique<TZMySqlTransact>();
  listener.monitor.SetTransaction(transaction.get());
  transaction.reset();
  EXPECT_EQ(listener.monitor.Transaction(), nullptr);
  EXPECT_EQ(Occurrences(&listener.monitor), 0u);
  // A new transaction may be bound afterwards.
  TZMySqlTransact next;
  listener.monitor.SetTransaction(&next);
  EXPECT_EQ(Occurrences(&listener.monitor), 1u);
}

TEST(MonitorBinding, DestroyedBoundMonitorLeavesTheList) {
  TZMySqlTransact transaction;
  const std::size_t before = MonitorList().Count();
  {
    TZMonitor monitor;
    monitor.SetTransaction(&transaction);
    EXPECT_EQ(MonitorList().Count(), before + 1);
  }
  EXPECT_EQ(MonitorList().Count(), before);
  NotifyMonitors("SELECT 1", "", false);
}

TEST(MonitorBinding, BoundMonitorHearsEveryConnectionOfTheProcess) {
  TZMySqlDatabase database;
  Configure(database);
  TZMySqlTransact first;
  TZMySqlTransact second;
  first.SetDatabase(&database);
  second.SetDatabase(&database);
  Listener listener;
  listener.monitor.SetTransaction(&first);

  database.SetConnected(true);
  second.ExecSql("DO 1");
  {
    test::DirSession own(kName);  // a connection of its own, as a streaming dataset opens
    own.Exec("DO 2");
  }
  database.SetConnected(false);
  EXPECT_EQ(listener.reports, (std::vector<Report>{{"CONNECT " + kName, "OK."},
                                                   {"CONNECT " + kName, "OK."},
                                                   {"DO 1", "OK."},
                                                   {"CONNECT " + kName, "OK."},
                                                   {"DO 2", "OK."},
                                                   {"DISCONNECT " + kName, "OK."},
                                                   {"DISCONNECT " + kName, "OK."},
                                                   {"DISCONNECT " + kName, "OK."}}));
}

TEST(MonitorBinding, OneReportForConnectAndOneForDisconnect) {
  TZMySqlDatabase database;
  Configure(database);
  TZMySqlTransact transaction;
  transaction.SetDatabase(&database);
  ASSERT_FALSE(transaction.TransactSafe());
  Listener listener;
  listener.monitor.SetTransaction(&transaction);
  database.SetConnected(true);
  EXPECT_EQ(listener.reports, (std::vector<Report>{{"CONNECT " + kName, "OK."}}));
  listener.reports.clear();
  database.SetConnected(false);
  EXPECT_EQ(listener.reports, (std::vector<Report>{{"DISCONNECT " + kName, "OK."}}));
}

TEST(MonitorBinding, FailedStatementReachesTheMonitorWithTheServersMessage) {
  TZMySqlDatabase database;
  Configure(database);
  TZMySqlTransact transaction;
  transaction.SetDatabase(&database);
  Listener listener;
  listener.monitor.SetTransaction(&transaction);
  database.SetConnected(true);
  listener.reports.clear();
  std::string raised;
  try {
    transaction.ExecSql("SELEC 1");
  } catch (const EDatabaseError& e) {
    raised = e.Message();
  }
  EXPECT_NE(raised.find("SQL syntax"), std::string::npos) << raised;
  EXPECT_EQ(listener.reports, (std::vector<Report>{{"SELEC 1", raised}}));
  database.SetConnected(false);
}

TEST(MonitorBinding, MonitorsHearInBindingOrderPastARaisingOne) {
  TZMySqlTransact transaction;
  std::vector<std::string> order;
  TZMonitor first;
  TZMonitor second;
  first.SetOnMonitorEvent([&](const std::string&, const std::string&) {
    order.push_back("first");
    throw std::runtime_error("a broken log");
  });
  second.SetOnMonitorEvent([&](const std::string& sql, const std::string& result) {
    order.push_back("second " + sql + " " + result);
  });
  first.SetTransaction(&transaction);
  second.SetTransaction(&transaction);
  NotifyMonitors("COMMIT", "", false);
  EXPECT_EQ(order, (std::vector<std::string>{"first", "second COMMIT OK."}));
}

}  // namespace
}  // namespace tabulix
