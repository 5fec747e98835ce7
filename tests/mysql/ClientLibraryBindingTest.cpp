#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "DirSession.h"
#include "framework/Exceptions.h"
#include "mysql/TDirMySqlConnect.h"
#include "mysql/ZLibMySql.h"
#include "support/TestData.h"

namespace tabulix {
namespace {

const std::string kRealLibrary = "libmariadb.so.3";

// Each test starts unbound with the real library name, and leaves it so.
class ClientLibraryBinding : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseClientLibrary();
    SetClientLibraryName(kRealLibrary);
  }
  void TearDown() override {
    ReleaseClientLibrary();
    SetClientLibraryName(kRealLibrary);
  }
};

TEST_F(ClientLibraryBinding, MissingLibraryFailsUntilTheRealOneIsNamed) {
  const std::string missing = test::TempDir() + "/libnothing-here.so.3";
  SetClientLibraryName(missing);
  EXPECT_FALSE(ClientLibraryBound());
  try {
    BindClientLibrary();
    FAIL() << "binding a missing library succeeded";
  } catch (const EDatabaseError&) {
    FAIL() << "the binding error is a plain error, not a database error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Dynamic library " + missing + " not found");
  }
  EXPECT_FALSE(ClientLibraryBound());

  // The connection attempt that needs the binding raises the same message and stays inactive.
  TDirMySqlConnect connect;
  try {
    connect.Connect();
    FAIL() << "connecting without the client library succeeded";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Dynamic library " + missing + " not found");
  }
  EXPECT_FALSE(connect.Active());

  // Creating and dropping need the binding as well.
  EXPECT_THROW(connect.CreateDatabase(""), Exception);
  EXPECT_THROW(connect.DropDatabase(), Exception);

  // Once the library can be had, the next attempt binds it without a restart.
  SetClientLibraryName(kRealLibrary);
  connect.Connect();
  EXPECT_TRUE(ClientLibraryBound());
  EXPECT_TRUE(LoadedByBinding());
  EXPECT_TRUE(connect.Active());
  EXPECT_EQ(connect.Status(), stOk);
  EXPECT_EQ(connect.ErrorText(), "");
}

TEST_F(ClientLibraryBinding, ConnectingAgainDoesNotBindAgain) {
  TDirMySqlConnect connect;
  connect.Connect();
  ASSERT_TRUE(ClientLibraryBound());
  connect.Disconnect();
  EXPECT_FALSE(connect.Active());
  EXPECT_TRUE(ClientLibraryBound());  // disconnecting never unloads
  // A name that cannot be loaded any more does not matter while the library is bound.
  SetClientLibraryName("libnothing-here.so.3");
  connect.Connect();
  EXPECT_TRUE(connect.Active());
  EXPECT_NO_THROW(BindClientLibrary());
}

TEST_F(ClientLibraryBinding, ConnectSucceedsWithoutAReachableServer) {
  TDirMySqlConnect connect;
  connect.SetHost("127.0.0.1");
  connect.SetPort("1");
  connect.Connect();
  EXPECT_TRUE(connect.Active());
  EXPECT_EQ(connect.Status(), stOk);
}

TEST_F(ClientLibraryBinding, LibraryLoadedElsewhereIsUsedAndLeftLoaded) {
  void* own = dlopen(kRealLibrary.c_str(), RTLD_NOW);
  ASSERT_NE(own, nullptr) << dlerror();
  BindClientLibrary();
  EXPECT_TRUE(ClientLibraryBound());
  EXPECT_FALSE(LoadedByBinding());
  {
    // The binding works: a login through it.
    test::DirSession session;
    EXPECT_EQ(session.Scalar("SELECT 6*7"), "42");
  }
  ReleaseClientLibrary();
  EXPECT_FALSE(ClientLibraryBound());
  void* stillThere = dlopen(kRealLibrary.c_str(), RTLD_NOW | RTLD_NOLOAD);
  EXPECT_NE(stillThere, nullptr);
  if (stillThere) dlclose(stillThere);
  // The library's state belongs to whoever loaded it: here, this test.
  if (auto end = reinterpret_cast<void (*)()>(dlsym(own, "mysql_server_end"))) end();
  dlclose(own);
}

TEST_F(ClientLibraryBinding, ReleasedLibraryBindsAgainOnTheNextConnect) {
  {
    test::DirSession session;
    EXPECT_EQ(session.Scalar("SELECT 1"), "1");
  }
  ReleaseClientLibrary();
  EXPECT_FALSE(ClientLibraryBound());
  test::DirSession session;
  EXPECT_TRUE(ClientLibraryBound());
  EXPECT_EQ(session.Scalar("SELECT 2"), "2");
}

}  // namespace
}  // namespace tabulix
