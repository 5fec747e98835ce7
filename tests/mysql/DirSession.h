#pragma once

#include <gtest/gtest.h>

#include <string>

#include "mysql/TDirMySqlConnect.h"
#include "mysql/TDirMySqlQuery.h"
#include "mysql/TDirMySqlTransact.h"
#include "support/TestServer.h"

namespace tabulix::test {

// Copies the test server's coordinates into a direct connection.
inline void ApplyServer(TDirConnect& connect, const std::string& database) {
  const TestServer& server = Server();
  connect.SetHost(server.host);
  connect.SetPort(std::to_string(server.port));
  connect.SetLogin(server.user);
  connect.SetPassword(server.password);
  connect.SetDatabase(database);
}

// A direct connection, transaction and query logged in to the test server, as a transaction
// component holds them. Closes everything on the way out.
struct DirSession {
  TDirMySqlConnect connect;
  TDirMySqlTransact transact{&connect};
  TDirMySqlQuery query{&connect, &transact};

  explicit DirSession(const std::string& database = {}, bool transactSafe = false) {
    ApplyServer(connect, database);
    transact.SetTransactSafe(transactSafe);
    connect.Connect();
    transact.Open();
    EXPECT_EQ(transact.GetStatus(), stOk) << transact.ErrorText();
  }
  ~DirSession() {
    query.Close();
    transact.Close();
    connect.Disconnect();
  }

  // Runs a statement that must succeed; returns its affected-row count.
  int Exec(const std::string& sql) {
    query.SetSql(sql);
    const int rows = query.ExecuteCommand();
    EXPECT_EQ(query.Status(), qsCommandDone) << sql << ": " << query.ErrorText();
    return rows;
  }
  // Opens a statement that must return rows.
  void Open(const std::string& sql) {
    query.SetSql(sql);
    query.Open();
    EXPECT_EQ(query.Status(), qsRowsReady) << sql << ": " << query.ErrorText();
  }
  // The first column of the first row of a query.
  std::string Scalar(const std::string& sql) {
    Open(sql);
    std::string value = query.FieldValue(0);
    query.Close();
    return value;
  }
};

}  // namespace tabulix::test
