#include "mysql/TDirMySqlConnect.h"

#include "framework/FormatMessage.h"
#include "framework/NumberText.h"
#include "mysql/TZMonitorList.h"
#include "mysql/ZLibMySql.h"
#include "mysql/internal/ClientApi.h"
#include "mysql/internal/MySqlHandle.h"
#include "mysql/internal/QuoteIdentifier.h"
#include "mysql/internal/ShortText.h"

namespace tabulix {

using mysql_internal::MySqlHandle;

namespace {

// A temporary login for creating or dropping a database, with the compressed protocol.
MySqlHandle TemporaryHandle() {
  MySqlHandle handle = MySqlHandle::Init();
  handle.UseCompression();
  return handle;
}

}  // namespace

TDirMySqlConnect::TDirMySqlConnect() {
  SetPort("3306");
}

TDirMySqlConnect::~TDirMySqlConnect() {
  if (Active()) TDirMySqlConnect::Disconnect();
}

std::string TDirMySqlConnect::ErrorText() {
  return Status() == stOk ? std::string() : lastError_;
}

unsigned TDirMySqlConnect::ErrorNumber() {
  return Status() == stOk ? 0 : serverErrorNumber_;
}

std::string TDirMySqlConnect::ErrorStatement() {
  return Status() == stOk ? std::string() : failedStatement_;
}

void TDirMySqlConnect::Connect() {
  TDirConnect::Connect();
  if (!ClientLibraryBound()) BindClientLibrary();
  SetStatus(stOk);
  SetActive(true);
}

void TDirMySqlConnect::Disconnect() {
  SetStatus(stOk);
  SetActive(false);
}

void TDirMySqlConnect::CreateDatabase(const std::string& /*params*/) {
  if (Active()) Disconnect();
  if (!ClientLibraryBound()) BindClientLibrary();
  SetStatus(stFail);
  serverError_.clear();
  serverErrorNumber_ = 0;
  failedStatement_.clear();
  const auto port = static_cast<unsigned>(StrToInt(Port()));
  MySqlHandle handle = TemporaryHandle();
  const std::string statement = "CREATE DATABASE " + mysql_internal::QuoteIdentifier(Database());
  if (!handle.Connect(Host(), Login(), Password(), std::string(), port, 0, Socket())) {
    lastError_ = "Server connection error";
  } else if (!handle.Query(statement)) {
    lastError_ = "Database creating error";
    failedStatement_ = statement;
  } else {
    SetStatus(stOk);
  }
  if (Status() != stOk) {
    serverError_ = mysql_internal::TrimText(handle.ErrorText());
    serverErrorNumber_ = handle.ErrorNumber();
  }
  handle.Reset();
  NotifyMonitors(FormatMessage("CREATE DATABASE %s", {Database()}), lastError_, Status() != stOk);
}

void TDirMySqlConnect::DropDatabase() {
  if (Active()) Disconnect();
  if (!ClientLibraryBound()) BindClientLibrary();
  SetStatus(stFail);
  lastError_ = "Server connection error";
  serverError_.clear();
  serverErrorNumber_ = 0;
  failedStatement_.clear();
  const auto port = static_cast<unsigned>(StrToInt(Port()));
  MySqlHandle handle = TemporaryHandle();
  if (handle.Connect(Host(), Login(), Password(), Database(), port, CLIENT_CONNECT_WITH_DB, Socket())) {
    const std::string statement = "DROP DATABASE " + mysql_internal::QuoteIdentifier(Database());
    if (handle.Query(statement)) {
      SetStatus(stOk);
    } else {
      failedStatement_ = statement;
    }
  }
  if (Status() != stOk) {
    serverError_ = mysql_internal::TrimText(handle.ErrorText());
    serverErrorNumber_ = handle.ErrorNumber();
  }
  handle.Reset();
  NotifyMonitors(FormatMessage("DROP DATABASE %s", {Database()}), "Fail.", Status() != stOk);
}

}  // namespace tabulix
