#pragma once

// Shared pieces of the component tests: a scripted login dialog, a cursor that records its
// shapes, a monitor that collects reports, and components set up for the private test server.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/PlatformServices.h"
#include "mysql/TZBatchSql.h"
#include "mysql/TZMonitor.h"
#include "mysql/TZMySqlDatabase.h"
#include "mysql/TZMySqlTransact.h"
#include "support/TestServer.h"

namespace tabulix::test {

using Report = std::pair<std::string, std::string>;
using Reports = std::vector<Report>;

// Answers each prompt with OK and the scripted texts, or with cancel; remembers what it was
// shown.
class FakeLoginDialog : public LoginDialogService {
 public:
  bool Execute(std::string_view databaseName, std::string& userName,
               std::string& password) override {
    ++calls;
    shownDatabase = std::string(databaseName);
    shownUserName = userName;
    shownPassword = password;
    if (!ok) return false;
    userName = typedUserName.value_or(userName);
    password = typedPassword;
    return true;
  }
  void TypeOk(std::optional<std::string> user, std::string pw) {
    ok = true;
    typedUserName = std::move(user);
    typedPassword = std::move(pw);
  }
  void Cancel() { ok = false; }

  bool ok = true;
  std::optional<std::string> typedUserName;
  std::string typedPassword;
  int calls = 0;
  std::string shownDatabase;
  std::string shownUserName;
  std::string shownPassword;
};

// Starts with the hourglass so that a restore to it cannot be mistaken for the default.
class RecordingCursor : public ScreenCursor {
 public:
  TCursor Cursor() const override { return current; }
  void SetCursor(TCursor cursor) override {
    current = cursor;
    history.push_back(cursor);
  }
  bool ShowedSqlWait() const {
    return std::find(history.begin(), history.end(), crSQLWait) != history.end();
  }
  TCursor current = crHourGlass;
  std::vector<TCursor> history;
};

// A monitor bound to a transaction that keeps every report and optionally writes each into a
// shared event log.
class CollectingMonitor {
 public:
  explicit CollectingMonitor(TZTransact& transaction, std::vector<std::string>* events = nullptr) {
    monitor.SetOnMonitorEvent([this, events](const std::string& sql, const std::string& result) {
      reports.emplace_back(sql, result);
      if (events) events->push_back("monitor " + sql + " " + result);
    });
    monitor.SetTransaction(&transaction);
  }
  Reports reports;
  TZMonitor monitor;
};

inline std::string ServerPort() {
  return std::to_string(Server().port);
}

// The connection component's settings for the private server; no prompt.
inline void SetUpDatabase(TZMySqlDatabase& database, const std::string& name) {
  const auto& server = Server();
  database.SetHost(server.host);
  database.SetPort(ServerPort());
  database.SetLogin(server.user);
  database.SetPassword(server.password);
  database.SetDatabase(name);
}

// A connection and transaction pair for preparing and inspecting the server outside the
// components under test.
class ServerSession {
 public:
  explicit ServerSession(const std::string& name = "mysql") {
    SetUpDatabase(database, name);
    transaction.SetDatabase(&database);
    database.SetConnected(true);
  }
  int Exec(const std::string& sql) { return transaction.ExecSql(sql); }
  std::string Value(const std::string& expression) { return transaction.ExecFunc(expression); }

  TZMySqlDatabase database;
  TZMySqlTransact transaction;
};

// Every test gets a fresh recording cursor and a scripted dialog, installed process-wide.
class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(HaveServer()) << "the component tests need a server"; }

  // For a suite's SetUpTestSuite: makes the suite's own database when it is missing.
  static void CreateSuiteDatabase(const std::string& name) {
    if (!HaveServer()) return;
    ServerSession session;
    session.Exec("CREATE DATABASE IF NOT EXISTS " + name);
  }

  RecordingCursor cursor;
  FakeLoginDialog dialog;
  PlatformServices::Scope services{&cursor, &dialog};
};

}  // namespace tabulix::test
