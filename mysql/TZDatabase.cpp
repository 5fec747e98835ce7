#include "mysql/TZDatabase.h"

#include <algorithm>

#include "framework/Abort.h"
#include "framework/Exceptions.h"
#include "framework/PlatformServices.h"
#include "framework/SqlWaitCursor.h"
#include "mysql/TZDatabaseDataset.h"
#include "mysql/TZTransact.h"
#include "mysql/internal/ShortText.h"

namespace tabulix {

namespace {

using mysql_internal::ShortText;

// The component's one option: the SQL-wait cursor while connecting, disconnecting, creating
// or dropping. It is always on.
constexpr bool kSqlWaitCursor = true;

template <class T>
bool Contains(const std::vector<T*>& list, const T* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

template <class T>
void Erase(std::vector<T*>& list, const T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

void Call(const TNotifyEvent& handler, TComponent& sender) {
  if (handler) handler(sender);
}

}  // namespace

TZDatabase::TZDatabase(std::unique_ptr<TDirConnect> handle) : handle_(std::move(handle)) {}

TZDatabase::~TZDatabase() {
  BeginDestruction();
  try {
    Disconnect();
  } catch (...) {
    // The direct connection's failure cannot leave a destructor; its step was reported.
  }
}

void TZDatabase::SetHost(std::string_view value) {
  std::string text = ShortText(value);
  if (text == host_) return;
  Disconnect();
  host_ = std::move(text);
}

void TZDatabase::SetDatabase(std::string_view value) {
  std::string text = ShortText(value);
  if (text == database_) return;
  Disconnect();
  database_ = std::move(text);
}

void TZDatabase::SetPort(std::string_view value) {
  port_ = ShortText(value);
}
void TZDatabase::SetLogin(std::string_view value) {
  login_ = ShortText(value);
}
void TZDatabase::SetPassword(std::string_view value) {
  password_ = ShortText(value);
}
void TZDatabase::SetSocket(std::string_view value) {
  socket_ = ShortText(value);
}

void TZDatabase::SetConnected(bool value) {
  if (value == connected_) return;
  if (value) {
    Connect();
  } else {
    Disconnect();
  }
}

void TZDatabase::DoBeforeConnect() {
  Call(beforeConnect_, *this);
}
void TZDatabase::DoAfterConnect() {
  Call(afterConnect_, *this);
}
void TZDatabase::DoBeforeDisconnect() {
  Call(beforeDisconnect_, *this);
}
void TZDatabase::DoAfterDisconnect() {
  Call(afterDisconnect_, *this);
}
void TZDatabase::DoBeforeCreate() {
  Call(beforeCreate_, *this);
}
void TZDatabase::DoAfterCreate() {
  Call(afterCreate_, *this);
}
void TZDatabase::DoBeforeDrop() {
  Call(beforeDrop_, *this);
}
void TZDatabase::DoAfterDrop() {
  Call(afterDrop_, *this);
}

void TZDatabase::RaiseHandleError() {
  // Unconverted: the texts of a utf8mb4 connection are UTF-8 already.
  const std::string text = handle_->ErrorText();
  throw EDatabaseError(text, handle_->ErrorStatement(), handle_->ErrorNumber());
}

void TZDatabase::CopySettingsToHandle() {
  handle_->SetHost(host_);
  handle_->SetDatabase(database_);
  handle_->SetPort(port_);
  handle_->SetLogin(login_);
  handle_->SetPassword(password_);
  handle_->SetSocket(socket_);
}

void TZDatabase::DisconnectTransactions() noexcept {
  for (std::size_t i = 0; i < transactions_.size(); ++i) {
    try {
      transactions_[i]->Disconnect();
    } catch (...) {
      // Each transaction is disconnected whatever the others do.
    }
  }
}

void TZDatabase::Connect() {
  if (connected_) return;
  SqlWaitCursor wait(kSqlWaitCursor);
  try {
    DoBeforeConnect();
    if (loginPrompt_) {
      std::string userName = login_;
      std::string password;
      if (!PlatformServices::LoginDialog().Execute(database_, userName, password)) Abort();
      login_ = ShortText(userName);
      password_ = ShortText(password);
    }
    CopySettingsToHandle();
    handle_->Connect();
    if (handle_->Status() != stOk) RaiseHandleError();
    connected_ = handle_->Active();
    if (connected_) {
      try {
        // The registry may change under a handler; index it afresh each time.
        for (std::size_t i = 0; i < transactions_.size(); ++i) transactions_[i]->Connect();
      } catch (...) {
        DisconnectTransactions();
        throw;
      }
      DoAfterConnect();
    }
  } catch (...) {
    connected_ = false;
    throw;
  }
}

void TZDatabase::Disconnect() {
  if (!connected_) return;
  SqlWaitCursor wait(kSqlWaitCursor);
  DoBeforeDisconnect();
  for (std::size_t i = 0; i < datasets_.size(); ++i) {
    try {
      datasets_[i]->CloseFromDatabase();
    } catch (...) {
      // A dataset that fails to close does not keep the others open.
    }
  }
  for (std::size_t i = 0; i < transactions_.size(); ++i) {
    try {
      if (transactions_[i]->Connected()) transactions_[i]->Disconnect();
    } catch (...) {
      // As above: a disconnect never fails because of a transaction.
    }
  }
  connected_ = false;
  handle_->Disconnect();
  if (handle_->Status() != stOk) RaiseHandleError();
  DoAfterDisconnect();
}

void TZDatabase::CreateDatabase(const std::string& params) {
  SqlWaitCursor wait(kSqlWaitCursor);
  if (connected_) Disconnect();
  DoBeforeCreate();
  CopySettingsToHandle();
  handle_->CreateDatabase(params);
  if (handle_->Status() != stOk) RaiseHandleError();
  Connect();
  DoAfterCreate();
}

void TZDatabase::DropDatabase() {
  SqlWaitCursor wait(kSqlWaitCursor);
  DoBeforeDrop();
  Disconnect();
  CopySettingsToHandle();
  handle_->DropDatabase();
  if (handle_->Status() != stOk) RaiseHandleError();
  DoAfterDrop();
}

void TZDatabase::AddDataset(TZDatabaseDataset& dataset) {
  if (!Contains(datasets_, &dataset)) datasets_.push_back(&dataset);
}

void TZDatabase::RemoveDataset(TZDatabaseDataset& dataset) {
  if (!Contains(datasets_, &dataset)) return;
  try {
    dataset.CloseFromDatabase();
  } catch (...) {
    Erase(datasets_, &dataset);
    throw;
  }
  Erase(datasets_, &dataset);
}

void TZDatabase::AddTransaction(TZTransact& transaction) {
  if (!Contains(transactions_, &transaction)) transactions_.push_back(&transaction);
}

void TZDatabase::RemoveTransaction(TZTransact& transaction) {
  if (!Contains(transactions_, &transaction)) return;
  try {
    transaction.Disconnect();
  } catch (...) {
    Erase(transactions_, &transaction);
    throw;
  }
  Erase(transactions_, &transaction);
}

TZTransact* TZDatabase::GetDefaultTransaction() const {
  return transactions_.empty() ? nullptr : transactions_.front();
}

TZDatabaseDataset& TZDatabase::Datasets(std::size_t index) const {
  if (index >= datasets_.size()) throw EListError("List index out of bounds");
  return *datasets_[index];
}

TZTransact& TZDatabase::Transactions(std::size_t index) const {
  if (index >= transactions_.size()) throw EListError("List index out of bounds");
  return *transactions_[index];
}

void TZDatabase::OpenDeferredDatasets() {
  for (std::size_t i = 0; i < datasets_.size(); ++i) datasets_[i]->OpenDeferred();
}

void TZDatabase::Loaded() {
  TComponent::Loaded();
  OpenDeferredDatasets();
}

}  // namespace tabulix
