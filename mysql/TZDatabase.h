#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/SharedEnums.h"
#include "framework/TComponent.h"
#include "mysql/TDirConnect.h"

namespace tabulix {

class TZDatabaseDataset;
class TZTransact;

// The database connection component, server-independent base: the settings of one server
// account, the login prompt, and the switch that connects every registered transaction
// component (where the server is actually reached) and closes every registered dataset.
// Failures are EDatabaseError with the direct connection's text, error number and refused
// statement; a cancelled login prompt ends a connect with EAbort. The cursor is always
// restored. Encoding is a stored setting only: the connection speaks utf8mb4 and every text
// of this system is UTF-8, so nothing is converted on the way to or from the server.
class TZDatabase : public TComponent {
 public:
  static constexpr int kVersion = 50300;

  explicit TZDatabase(std::unique_ptr<TDirConnect> handle);
  // Sends the removal notices (transactions and datasets leave), then disconnects.
  ~TZDatabase() override;

  int Version() const { return kVersion; }

  // Short texts of at most 255 characters. A new Host or Database (letter case counts)
  // disconnects first; the others take effect at the next connect.
  const std::string& Host() const { return host_; }
  void SetHost(std::string_view value);
  const std::string& Port() const { return port_; }
  void SetPort(std::string_view value);
  const std::string& Database() const { return database_; }
  void SetDatabase(std::string_view value);
  const std::string& Login() const { return login_; }
  void SetLogin(std::string_view value);
  const std::string& Password() const { return password_; }
  void SetPassword(std::string_view value);
  // The Unix socket used when Host is empty or "localhost"; empty: the client library's
  // default. Takes effect at the next connect.
  const std::string& Socket() const { return socket_; }
  void SetSocket(std::string_view value);

  bool LoginPrompt() const { return loginPrompt_; }
  void SetLoginPrompt(bool value) { loginPrompt_ = value; }
  // Kept and streamed with the window; it changes nothing on a utf8mb4 connection.
  TEncodingType Encoding() const { return encoding_; }
  void SetEncoding(TEncodingType value) { encoding_ = value; }

  bool Connected() const { return connected_; }
  // Writing the current value does nothing; true connects, false disconnects.
  void SetConnected(bool value);

  // The direct connection, owned.
  TDirConnect& Handle() const { return *handle_; }

  const TNotifyEvent& BeforeConnect() const { return beforeConnect_; }
  void SetBeforeConnect(TNotifyEvent handler) { beforeConnect_ = std::move(handler); }
  const TNotifyEvent& BeforeDisconnect() const { return beforeDisconnect_; }
  void SetBeforeDisconnect(TNotifyEvent handler) { beforeDisconnect_ = std::move(handler); }
  const TNotifyEvent& BeforeCreate() const { return beforeCreate_; }
  void SetBeforeCreate(TNotifyEvent handler) { beforeCreate_ = std::move(handler); }
  const TNotifyEvent& BeforeDrop() const { return beforeDrop_; }
  void SetBeforeDrop(TNotifyEvent handler) { beforeDrop_ = std::move(handler); }
  const TNotifyEvent& AfterDisconnect() const { return afterDisconnect_; }
  void SetAfterDisconnect(TNotifyEvent handler) { afterDisconnect_ = std::move(handler); }
  const TNotifyEvent& AfterConnect() const { return afterConnect_; }
  void SetAfterConnect(TNotifyEvent handler) { afterConnect_ = std::move(handler); }
  const TNotifyEvent& AfterCreate() const { return afterCreate_; }
  void SetAfterCreate(TNotifyEvent handler) { afterCreate_ = std::move(handler); }
  const TNotifyEvent& AfterDrop() const { return afterDrop_; }
  void SetAfterDrop(TNotifyEvent handler) { afterDrop_ = std::move(handler); }

  virtual void DoBeforeConnect();
  virtual void DoAfterConnect();
  virtual void DoBeforeDisconnect();
  virtual void DoAfterDisconnect();
  virtual void DoBeforeCreate();
  virtual void DoAfterCreate();
  virtual void DoBeforeDrop();
  virtual void DoAfterDrop();
  // Prompts when LoginPrompt is set, readies the direct connection and connects every
  // registered transaction; when one fails all are disconnected again.
  virtual void Connect();
  // Closes every registered dataset and disconnects every transaction (their errors are
  // ignored), then the direct connection.
  virtual void Disconnect();
  // Creates Database on the server (the parameter text is for other servers), then connects.
  virtual void CreateDatabase(const std::string& params);
  // Drops Database on the server; the component stays disconnected.
  virtual void DropDatabase();

  // The registries, in registration order, without duplicates; the entries are not owned.
  void AddDataset(TZDatabaseDataset& dataset);
  // Closes the dataset and removes it, also when closing raises (the error propagates).
  void RemoveDataset(TZDatabaseDataset& dataset);
  void AddTransaction(TZTransact& transaction);
  // Disconnects the transaction and removes it, also when disconnecting raises.
  void RemoveTransaction(TZTransact& transaction);
  // The first registered transaction; nullptr when there is none.
  TZTransact* GetDefaultTransaction() const;
  std::size_t DatasetCount() const { return datasets_.size(); }
  TZDatabaseDataset& Datasets(std::size_t index) const;
  std::size_t TransactionCount() const { return transactions_.size(); }
  TZTransact& Transactions(std::size_t index) const;

  // Opens the registered datasets whose opening was put off while the window was loading.
  void OpenDeferredDatasets();

 protected:
  void Loaded() override;

 private:
  [[noreturn]] void RaiseHandleError();
  void CopySettingsToHandle();
  void DisconnectTransactions() noexcept;

  std::string database_;
  std::string login_;
  std::string password_;
  std::string host_;
  std::string port_;
  std::string socket_;
  std::vector<TZDatabaseDataset*> datasets_;
  std::vector<TZTransact*> transactions_;
  bool connected_ = false;
  bool loginPrompt_ = false;
  TEncodingType encoding_ = etNone;
  std::unique_ptr<TDirConnect> handle_;
  TNotifyEvent beforeConnect_;
  TNotifyEvent beforeDisconnect_;
  TNotifyEvent beforeCreate_;
  TNotifyEvent beforeDrop_;
  TNotifyEvent afterDisconnect_;
  TNotifyEvent afterConnect_;
  TNotifyEvent afterCreate_;
  TNotifyEvent afterDrop_;
};

}  // namespace tabulix
