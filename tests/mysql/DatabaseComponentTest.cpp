// The connection component against the private server: connecting with and without the login
// prompt, the write rules of its settings, the registries, the order of notifications, creating
// and dropping databases, and that the cursor comes back on every path.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DatabaseComponentFixture.h"
#include "framework/Exceptions.h"
#include "mysql/TZDatabaseDataset.h"

namespace tabulix::test {
namespace {

using Events = std::vector<std::string>;

class FakeDataset : public TZDatabaseDataset {
 public:
  FakeDataset(std::string name, Events& events) : name_(std::move(name)), events_(events) {}
  void CloseFromDatabase() override {
    events_.push_back("close " + name_);
    if (failClose) throw EDatabaseError("cannot close " + name_);
  }
  void OpenDeferred() override { events_.push_back("open deferred " + name_); }
  bool failClose = false;

 private:
  std::string name_;
  Events& events_;
};

// A transaction component whose connect fails, for the all-or-nothing rule of Connect.
class RefusingTransact : public TZMySqlTransact {
 public:
  void Connect() override { throw EDatabaseError("refused by test"); }
};

// Records the notifications of a database and a transaction component in one list.
void Trace(TZDatabase& database, TZTransact& transaction, Events& events) {
  database.SetBeforeConnect([&](TComponent&) { events.push_back("db BeforeConnect"); });
  database.SetAfterConnect([&](TComponent&) { events.push_back("db AfterConnect"); });
  database.SetBeforeDisconnect([&](TComponent&) { events.push_back("db BeforeDisconnect"); });
  database.SetAfterDisconnect([&](TComponent&) { events.push_back("db AfterDisconnect"); });
  transaction.SetOnBeforeConnect([&](TComponent&) { events.push_back("tr BeforeConnect"); });
  transaction.SetOnAfterConnect([&](TComponent&) { events.push_back("tr AfterConnect"); });
  transaction.SetOnBeforeDisconnect([&](TComponent&) { events.push_back("tr BeforeDisconnect"); });
  transaction.SetOnAfterDisconnect([&](TComponent&) { events.push_back("tr AfterDisconnect"); });
}

class DatabaseComponent : public ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    SetUpDatabase(database, "mysql");
    transaction.SetDatabase(&database);
  }

  // Before the components: their handlers may still write here while they go.
  Events events;
  TZMySqlDatabase database;
  TZMySqlTransact transaction;
};

// --- connect and disconnect, with and without the prompt ---

TEST_F(DatabaseComponent, ConnectWithoutPromptReportsOneConnectAndDisconnectOneDisconnect) {
  CollectingMonitor log(transaction);
  database.SetConnected(true);
  EXPECT_TRUE(database.Connected());
  EXPECT_TRUE(transaction.Connected());
  EXPECT_EQ(dialog.calls, 0);
  database.SetConnected(false);
  EXPECT_FALSE(database.Connected());
  EXPECT_FALSE(transaction.Connected());
  EXPECT_EQ(log.reports, (Reports{{"CONNECT mysql", "OK."}, {"DISCONNECT mysql", "OK."}}));
  EXPECT_EQ(cursor.current, crHourGlass);
  EXPECT_TRUE(cursor.ShowedSqlWait());
}

TEST_F(DatabaseComponent, PromptOkTakesTheTypedNameAndPassword) {
  database.SetLogin("root");
  database.SetPassword("27053914");
  database.SetLoginPrompt(true);
  dialog.TypeOk(Server().user, Server().password);
  database.SetConnected(true);
  EXPECT_TRUE(database.Connected());
  EXPECT_EQ(dialog.calls, 1);
  EXPECT_EQ(dialog.shownDatabase, "mysql");
  EXPECT_EQ(dialog.shownUserName, "root");
  EXPECT_EQ(dialog.shownPassword, "") << "the stored password is not shown";
  EXPECT_EQ(database.Login(), Server().user);
  EXPECT_EQ(database.Password(), Server().password);
  EXPECT_EQ(transaction.ExecFunc("CURRENT_USER()").substr(0, Server().user.size() + 1),
            Server().user + "@");
}

TEST_F(DatabaseComponent, PromptOkWithoutTypingLogsInWithAnEmptyPassword) {
  CollectingMonitor log(transaction);
  database.SetLoginPrompt(true);
  dialog.TypeOk(std::nullopt, "");
  try {
    database.SetConnected(true);
    FAIL() << "the server took an empty password";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("Access denied"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("using password: NO"), std::string::npos) << e.what();
  }
  EXPECT_EQ(database.Password(), "");
  EXPECT_EQ(database.Login(), Server().user);
  EXPECT_FALSE(database.Connected());
  EXPECT_FALSE(transaction.Connected());
  EXPECT_EQ(log.reports, (Reports{{"CONNECT mysql", "Server connection error"}}));
  EXPECT_EQ(cursor.current, crHourGlass);
}

TEST_F(DatabaseComponent, PromptCancelAbortsSilentlyAndLeavesEverythingAsItWas) {
  CollectingMonitor log(transaction);
  Trace(database, transaction, events);
  database.SetLoginPrompt(true);
  dialog.Cancel();
  EXPECT_THROW(database.SetConnected(true), EAbort);
  EXPECT_FALSE(database.Connected());
  EXPECT_FALSE(transaction.Connected());
  EXPECT_EQ(database.Password(), Server().password);
  EXPECT_EQ(events, (Events{"db BeforeConnect"})) << "AfterConnect must not be called";
  EXPECT_TRUE(log.reports.empty());
  EXPECT_EQ(cursor.current, crHourGlass);
  EXPECT_TRUE(cursor.ShowedSqlWait());
}

TEST_F(DatabaseComponent, ConnectedTrueTwiceConnectsAndPromptsOnce) {
  CollectingMonitor log(transaction);
  database.SetLoginPrompt(true);
  dialog.TypeOk(std::nullopt, Server().password);
  database.SetConnected(true);
  database.SetConnected(true);
  database.Connect();
  EXPECT_EQ(dialog.calls, 1);
  EXPECT_EQ(log.reports, (Reports{{"CONNECT mysql", "OK."}}));
}

TEST_F(DatabaseComponent, RefusedLoginGivesTheClientMessageAndLeavesAllDisconnected) {
  CollectingMonitor log(transaction);
  database.SetPassword("wrong password");
  try {
    database.Connect();
    FAIL() << "connected with a wrong password";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Access denied for user '" + Server().user + "'", 0), 0u)
        << e.what();
  }
  EXPECT_FALSE(database.Connected());
  EXPECT_FALSE(transaction.Connected());
  EXPECT_EQ(log.reports, (Reports{{"CONNECT mysql", "Server connection error"}}));
  EXPECT_EQ(cursor.current, crHourGlass);
}

TEST_F(DatabaseComponent, UnreachableServerFailsAndRestoresTheCursor) {
  database.SetPort("1");  // nothing listens there
  EXPECT_THROW(database.Connect(), EDatabaseError);
  EXPECT_FALSE(database.Connected());
  EXPECT_EQ(cursor.current, crHourGlass);
}

TEST_F(DatabaseComponent, PortThatIsNoNumberRaisesTheConversionErrorAndRestoresTheCursor) {
  database.SetPort("33 06");
  EXPECT_THROW(database.Connect(), EConvertError);
  EXPECT_FALSE(database.Connected());
  EXPECT_EQ(cursor.current, crHourGlass);
}

TEST_F(DatabaseComponent, HandlerErrorDuringConnectLeavesItDisconnected) {
  database.SetAfterConnect([](TComponent&) { throw EDatabaseError("after connect failed"); });
  EXPECT_THROW(database.Connect(), EDatabaseError);
  EXPECT_FALSE(database.Connected());
  EXPECT_EQ(cursor.current, crHourGlass);
}

TEST_F(DatabaseComponent, TransactionFailingDuringConnectLeavesEveryTransactionDisconnected) {
  RefusingTransact refusing;
  refusing.SetDatabase(&database);
  CollectingMonitor log(transaction);
  bool afterConnect = false;
  database.SetAfterConnect([&](TComponent&) { afterConnect = true; });
  EXPECT_THROW(database.Connect(), EDatabaseError);
  EXPECT_FALSE(afterConnect);
  EXPECT_FALSE(database.Connected());
  EXPECT_FALSE(transaction.Connected());
  EXPECT_EQ(log.reports, (Reports{{"CONNECT mysql", "OK."}, {"DISCONNECT mysql", "OK."}}));
  EXPECT_EQ(cursor.current, crHourGlass);
}

// --- write rules ---

TEST_F(DatabaseComponent, HostWriteDisconnectsOnlyForADifferentText) {
  database.Connect();
  database.SetHost(Server().host);
  EXPECT_TRUE(database.Connected());
  database.SetHost("LOCALHOST");
  EXPECT_FALSE(database.Connected());
  EXPECT_FALSE(transaction.Connected());
  EXPECT_EQ(database.Host(), "LOCALHOST");
}

TEST_F(DatabaseComponent, DatabaseWriteComparesLetterCase) {
  database.Connect();
  database.SetDatabase("mysql");
  EXPECT_TRUE(database.Connected());
  database.SetDatabase("MYSQL");
  EXPECT_FALSE(database.Connected());
  EXPECT_EQ(database.Database(), "MYSQL");
}

TEST_F(DatabaseComponent, PortLoginPasswordTakeEffectAtTheNextConnect) {
  database.Connect();
  database.SetPassword("wrong password");
  database.SetLogin("nobody");
  database.SetPort("1");
  EXPECT_TRUE(database.Connected());
  EXPECT_EQ(transaction.ExecFunc("1"), "1");
  database.Disconnect();
  EXPECT_THROW(database.Connect(), EDatabaseError);
}

TEST_F(DatabaseComponent, SettingsAreShortTexts) {
  database.SetLogin(std::string(300, 'u'));
  database.SetDatabase(std::string(300, 'd'));
  EXPECT_EQ(database.Login().size(), 255u);
  EXPECT_EQ(database.Database().size(), 255u);
}

TEST_F(DatabaseComponent, DefaultsOfTheMySqlForm) {
  TZMySqlDatabase fresh;
  EXPECT_EQ(fresh.Port(), "3306");
  EXPECT_EQ(fresh.Version(), 50300);
  EXPECT_FALSE(fresh.Connected());
  EXPECT_FALSE(fresh.LoginPrompt());
  EXPECT_EQ(fresh.Encoding(), etNone);
  EXPECT_EQ(fresh.GetDefaultTransaction(), nullptr);
}

// --- notifications ---

TEST_F(DatabaseComponent, NotificationOrderOfConnectAndDisconnect) {
  Trace(database, transaction, events);
  CollectingMonitor log(transaction, &events);
  FakeDataset dataset("ds", events);
  database.AddDataset(dataset);
  database.Connect();
  database.Disconnect();
  EXPECT_EQ(events, (Events{"db BeforeConnect", "tr BeforeConnect", "monitor CONNECT mysql OK.",
                            "tr AfterConnect", "db AfterConnect", "db BeforeDisconnect", "close ds",
                            "tr BeforeDisconnect", "monitor DISCONNECT mysql OK.",
                            "tr AfterDisconnect", "db AfterDisconnect"}));
}

TEST_F(DatabaseComponent, TransactionConnectReachesTheServerOnceWithOnePairOfEvents) {
  Trace(database, transaction, events);
  CollectingMonitor log(transaction, &events);
  transaction.Connect();
  EXPECT_TRUE(database.Connected());
  EXPECT_EQ(events, (Events{"tr BeforeConnect", "db BeforeConnect", "monitor CONNECT mysql OK.",
                            "db AfterConnect", "tr AfterConnect"}));
}

TEST_F(DatabaseComponent, AfterDisconnectOnlyForAConnectedComponent) {
  int afterDisconnect = 0;
  database.SetAfterDisconnect([&](TComponent&) { ++afterDisconnect; });
  database.Disconnect();
  database.SetConnected(false);
  EXPECT_EQ(afterDisconnect, 0);
  EXPECT_TRUE(cursor.history.empty());
  database.Connect();
  database.Disconnect();
  EXPECT_EQ(afterDisconnect, 1);
}

// --- registries ---

TEST_F(DatabaseComponent, TransactionRegistryKeepsOrderWithoutDuplicates) {
  TZMySqlTransact second;
  second.SetDatabase(&database);
  database.AddTransaction(transaction);
  ASSERT_EQ(database.TransactionCount(), 2u);
  EXPECT_EQ(&database.Transactions(0), &transaction);
  EXPECT_EQ(&database.Transactions(1), &second);
  EXPECT_EQ(database.GetDefaultTransaction(), &transaction);
  // Writing the database it already has registers it again at the end.
  transaction.SetDatabase(&database);
  EXPECT_EQ(&database.Transactions(0), &second);
  EXPECT_EQ(&database.Transactions(1), &transaction);
  EXPECT_EQ(database.GetDefaultTransaction(), &second);
  second.SetDatabase(nullptr);
  EXPECT_EQ(database.TransactionCount(), 1u);
  EXPECT_THROW(database.Transactions(1), EListError);
}

TEST_F(DatabaseComponent, ConnectingConnectsEveryRegisteredTransactionInOrder) {
  TZMySqlTransact second;
  second.SetDatabase(&database);
  transaction.SetOnAfterConnect([&](TComponent&) { events.push_back("first"); });
  second.SetOnAfterConnect([&](TComponent&) { events.push_back("second"); });
  database.Connect();
  EXPECT_TRUE(second.Connected());
  EXPECT_EQ(events, (Events{"first", "second"}));
  EXPECT_NE(transaction.ExecFunc("CONNECTION_ID()"), second.ExecFunc("CONNECTION_ID()"))
      << "each transaction has a server connection of its own";
}

TEST_F(DatabaseComponent, RemoveTransactionDisconnectsIt) {
  database.Connect();
  database.RemoveTransaction(transaction);
  EXPECT_FALSE(transaction.Connected());
  EXPECT_EQ(database.TransactionCount(), 0u);
  EXPECT_TRUE(database.Connected());
  database.RemoveTransaction(transaction);  // not registered: nothing happens
}

TEST_F(DatabaseComponent, DatasetRegistryClosesOnRemovalEvenWhenClosingFails) {
  FakeDataset first("first", events);
  FakeDataset second("second", events);
  database.AddDataset(first);
  database.AddDataset(second);
  database.AddDataset(first);
  ASSERT_EQ(database.DatasetCount(), 2u);
  second.failClose = true;
  EXPECT_THROW(database.RemoveDataset(second), EDatabaseError);
  EXPECT_EQ(database.DatasetCount(), 1u);
  EXPECT_EQ(&database.Datasets(0), &first);
  database.RemoveDataset(second);
  EXPECT_EQ(events, (Events{"close second"}));
}

TEST_F(DatabaseComponent, DisconnectClosesEveryDatasetWhateverOneOfThemDoes) {
  FakeDataset first("first", events);
  FakeDataset second("second", events);
  first.failClose = true;
  database.AddDataset(first);
  database.AddDataset(second);
  database.Connect();
  database.Disconnect();
  EXPECT_FALSE(database.Connected());
  EXPECT_EQ(events, (Events{"close first", "close second"}));
}

TEST_F(DatabaseComponent, LoadingOpensThePutOffDatasets) {
  TComponent window;
  window.BeginLoading();
  auto& loaded = window.Create<TZMySqlDatabase>();
  FakeDataset dataset("ds", events);
  loaded.AddDataset(dataset);
  window.EndLoading();
  EXPECT_EQ(events, (Events{"open deferred ds"}));
}

// --- create and drop ---

TEST_F(DatabaseComponent, CreateDatabaseConnectsToItAndDropDatabaseLeavesItDisconnected) {
  {
    ServerSession session;
    session.Exec("DROP DATABASE IF EXISTS tabulix_comp_created");
  }
  CollectingMonitor log(transaction);
  database.SetBeforeCreate([&](TComponent&) { events.push_back("BeforeCreate"); });
  database.SetAfterCreate([&](TComponent&) { events.push_back("AfterCreate"); });
  database.SetBeforeDrop([&](TComponent&) { events.push_back("BeforeDrop"); });
  database.SetAfterDrop([&](TComponent&) { events.push_back("AfterDrop"); });
  database.SetDatabase("tabulix_comp_created");
  database.CreateDatabase("");
  EXPECT_TRUE(database.Connected());
  EXPECT_EQ(transaction.ExecFunc("DATABASE()"), "tabulix_comp_created");
  EXPECT_THROW(database.CreateDatabase(""), EDatabaseError) << "it exists now";
  database.Connect();
  database.DropDatabase();
  EXPECT_FALSE(database.Connected());
  EXPECT_EQ(events,
            (Events{"BeforeCreate", "AfterCreate", "BeforeCreate", "BeforeDrop", "AfterDrop"}));
  EXPECT_EQ(log.reports,
            (Reports{{"CREATE DATABASE tabulix_comp_created", "OK."},
                     {"CONNECT tabulix_comp_created", "OK."},
                     {"SELECT DATABASE()", "OK."},
                     {"DISCONNECT tabulix_comp_created", "OK."},
                     {"CREATE DATABASE tabulix_comp_created", "Database creating error"},
                     {"CONNECT tabulix_comp_created", "OK."},
                     {"DISCONNECT tabulix_comp_created", "OK."},
                     {"DROP DATABASE tabulix_comp_created", "OK."}}));
  EXPECT_EQ(cursor.current, crHourGlass);
}

TEST_F(DatabaseComponent, DroppingAMissingDatabaseFails) {
  database.SetDatabase("tabulix_comp_never_there");
  try {
    database.DropDatabase();
    FAIL() << "dropped a missing database";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Server connection error");
  }
  EXPECT_FALSE(database.Connected());
  EXPECT_EQ(cursor.current, crHourGlass);
}

// --- destruction and removal ---

TEST_F(DatabaseComponent, DestroyingAConnectedComponentClosesAndDisconnectsFirst) {
  FakeDataset dataset("ds", events);
  CollectingMonitor log(transaction);
  {
    TZMySqlDatabase doomed;
    SetUpDatabase(doomed, "mysql");
    transaction.SetDatabase(&doomed);
    doomed.AddDataset(dataset);
    doomed.Connect();
    ASSERT_TRUE(transaction.Connected());
  }
  EXPECT_FALSE(transaction.Connected());
  EXPECT_EQ(transaction.Database(), nullptr);
  EXPECT_EQ(events, (Events{"close ds"}));
  EXPECT_EQ(log.reports, (Reports{{"CONNECT mysql", "OK."}, {"DISCONNECT mysql", "OK."}}));
  EXPECT_EQ(cursor.current, crHourGlass);
}

TEST_F(DatabaseComponent, RemovingTheDatabaseFromTheWindowEmptiesTheTransaction) {
  TComponent window;
  auto& db = window.Create<TZMySqlDatabase>();
  auto& tr = window.Create<TZMySqlTransact>();
  SetUpDatabase(db, "mysql");
  tr.SetDatabase(&db);
  db.Connect();
  window.FreeComponent(db);
  EXPECT_FALSE(tr.Connected());
  EXPECT_EQ(tr.Database(), nullptr);
  try {
    tr.Connect();
    FAIL() << "connected without a database component";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Database component not defined");
  }
  EXPECT_EQ(cursor.current, crHourGlass);
}

}  // namespace
}  // namespace tabulix::test
