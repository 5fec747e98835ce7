#include "mysql/TDirConnect.h"

#include "mysql/internal/ShortText.h"

namespace tabulix {

using mysql_internal::ShortText;

TDirConnect::~TDirConnect() {
  if (active_) TDirConnect::Disconnect();
}

void TDirConnect::SetHost(std::string_view value) {
  host_ = ShortText(value);
}
void TDirConnect::SetPort(std::string_view value) {
  port_ = ShortText(value);
}
void TDirConnect::SetDatabase(std::string_view value) {
  database_ = ShortText(value);
}
void TDirConnect::SetLogin(std::string_view value) {
  login_ = ShortText(value);
}
void TDirConnect::SetPassword(std::string_view value) {
  password_ = ShortText(value);
}
void TDirConnect::SetSocket(std::string_view value) {
  socket_ = ShortText(value);
}

std::string TDirConnect::ErrorText() {
  return "Not connected";
}

unsigned TDirConnect::ErrorNumber() {
  return 0;
}

std::string TDirConnect::ErrorStatement() {
  return {};
}

void TDirConnect::Connect() {
  if (active_) Disconnect();
  status_ = stNotSupported;
}

void TDirConnect::Disconnect() {
  active_ = false;
  status_ = stNotSupported;
}

void TDirConnect::CreateDatabase(const std::string& /*params*/) {
  if (active_) Disconnect();
  status_ = stNotSupported;
}

void TDirConnect::DropDatabase() {
  if (active_) Disconnect();
  status_ = stNotSupported;
}

}  // namespace tabulix
