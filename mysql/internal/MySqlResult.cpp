#include "mysql/internal/MySqlResult.h"

#include "mysql/internal/ClientApi.h"

namespace tabulix::mysql_internal {

MySqlResult& MySqlResult::operator=(MySqlResult&& other) noexcept {
  if (this != &other) {
    Reset();
    result_ = other.result_;
    streamed_ = other.streamed_;
    other.result_ = nullptr;
  }
  return *this;
}

void MySqlResult::Reset() noexcept {
  if (!result_) return;
  try {
    const ClientApi& api = Lib();
    if (streamed_) {
      // The rows not read yet are still on the wire; read them off before freeing.
      while (api.mysql_fetch_row(result_) != nullptr) {
      }
    }
    api.mysql_free_result(result_);
  } catch (...) {
    // Only reached when the binding was released under us.
  }
  result_ = nullptr;
}

}  // namespace tabulix::mysql_internal
