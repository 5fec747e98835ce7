#pragma once

#include <string>
#include <string_view>

#include "framework/SharedEnums.h"

namespace tabulix {

// The direct connection, server-independent base: the five connection settings, whether it
// is connected, and the creation and dropping of databases. The base supports no operation.
// Raises nothing of its own; failures are reported through Status and ErrorText.
class TDirConnect {
 public:
  TDirConnect() = default;
  virtual ~TDirConnect();
  TDirConnect(const TDirConnect&) = delete;
  TDirConnect& operator=(const TDirConnect&) = delete;

  // Short texts: longer values are cut to 255 characters. Port is the port number in decimal.
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
  // The Unix socket for a host that is empty or "localhost"; empty: the client library's own.
  const std::string& Socket() const { return socket_; }
  void SetSocket(std::string_view value);

  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  TDirStatus Status() const { return status_; }
  void SetStatus(TDirStatus value) { status_ = value; }

  // "Not connected" in the base.
  virtual std::string ErrorText();
  // Beside ErrorText: the server's (or client library's) number for the failure and the
  // statement the server refused; 0 and "" when there is none, as always in the base.
  virtual unsigned ErrorNumber();
  virtual std::string ErrorStatement();
  virtual void Connect();
  virtual void Disconnect();
  // The parameter text is kept for other servers; MySQL ignores it.
  virtual void CreateDatabase(const std::string& params);
  virtual void DropDatabase();

 private:
  std::string host_;
  std::string port_;
  std::string database_;
  std::string login_;
  std::string password_;
  std::string socket_;
  bool active_ = false;
  TDirStatus status_ = stNone;
};

}  // namespace tabulix
