#include "mysql/TDirTransact.h"

#include "mysql/TDirConnect.h"

namespace tabulix {

TDirTransact::~TDirTransact() {
  if (active_) TDirTransact::EndTransaction();
}

std::string TDirTransact::ErrorText() {
  if (status_ == stOk || !connect_) return {};
  return connect_->ErrorText();
}

unsigned TDirTransact::ErrorNumber() {
  if (status_ == stOk || !connect_) return 0;
  return connect_->ErrorNumber();
}

std::string TDirTransact::ErrorStatement() {
  if (status_ == stOk || !connect_) return {};
  return connect_->ErrorStatement();
}

TDirStatus TDirTransact::GetStatus() {
  return status_;
}

void TDirTransact::SetStatus(TDirStatus value) {
  status_ = value;
}

void TDirTransact::Open() {
  if (active_) Close();
  status_ = stNotSupported;
}

void TDirTransact::Close() {
  status_ = stNotSupported;
}

void TDirTransact::StartTransaction() {
  status_ = stNotSupported;
}

void TDirTransact::EndTransaction() {
  status_ = stNotSupported;
}

void TDirTransact::Commit() {
  status_ = stNotSupported;
}

void TDirTransact::Rollback() {
  status_ = stNotSupported;
}

}  // namespace tabulix
