#include "mysql/internal/MySqlHandle.h"

#include "mysql/internal/ClientApi.h"
#include "mysql/internal/LocalInfile.h"

namespace tabulix::mysql_internal {

MySqlHandle& MySqlHandle::operator=(MySqlHandle&& other) noexcept {
  if (this != &other) {
    Reset();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

MySqlHandle MySqlHandle::Init() {
  MySqlHandle handle(Lib().mysql_init(nullptr));
  if (handle) {
    // Every text of this system is UTF-8 (the readers decode code pages), so the connection
    // asks for utf8mb4 and the components pass texts through unconverted.
    Lib().mysql_options(handle.Get(), MYSQL_SET_CHARSET_NAME, "utf8mb4");
  }
  return handle;
}

void MySqlHandle::UseCompression() {
  if (handle_) Lib().mysql_options(handle_, MYSQL_OPT_COMPRESS, nullptr);
}

void MySqlHandle::AllowLocalInfile() {
  if (!handle_) return;
  ServeLocalInfile(handle_, nullptr);
  const unsigned int on = 1;
  Lib().mysql_options(handle_, MYSQL_OPT_LOCAL_INFILE, &on);
}

bool MySqlHandle::Connect(const std::string& host, const std::string& user,
                          const std::string& password, const std::string& database, unsigned port,
                          unsigned long clientFlag, const std::string& socket) {
  if (!handle_) return false;
  auto textOrNull = [](const std::string& s) { return s.empty() ? nullptr : s.c_str(); };
  return Lib().mysql_real_connect(handle_, textOrNull(host), textOrNull(user), password.c_str(),
                                  textOrNull(database), port, textOrNull(socket), clientFlag) != nullptr;
}

bool MySqlHandle::Query(st_mysql* handle, std::string_view statement) {
  if (!handle) return false;
  return Lib().mysql_real_query(handle, statement.data(), statement.size()) == 0;
}

bool MySqlHandle::DiscardResults(st_mysql* handle, bool currentTaken) noexcept {
  if (!handle) return true;
  try {
    const ClientApi& api = Lib();
    for (bool take = !currentTaken;; take = true) {
      if (take) {
        // Streamed and dropped row by row: a result nobody reads needs no memory. The rows
        // may end in an error instead of their last row.
        if (MYSQL_RES* result = api.mysql_use_result(handle)) {
          while (api.mysql_fetch_row(result) != nullptr) {
          }
          api.mysql_free_result(result);
        }
        if (api.mysql_errno(handle) != 0) return false;
      }
      // mysql_next_result clears the last error, so it is called only when more results wait.
      if (!api.mysql_more_results(handle)) return true;
      const int next = api.mysql_next_result(handle);
      if (next > 0) return false;  // the next statement failed; its error is on the handle
      if (next < 0) return true;
    }
  } catch (...) {
    // Only a library without these entry points gets here; there is nothing left to read.
    return true;
  }
}

std::string MySqlHandle::ErrorText(st_mysql* handle) {
  if (!handle) return {};
  const char* text = Lib().mysql_error(handle);
  return text ? std::string(text) : std::string();
}

unsigned MySqlHandle::ErrorNumber(st_mysql* handle) {
  return handle ? Lib().mysql_errno(handle) : 0;
}

void MySqlHandle::Reset() noexcept {
  if (!handle_) return;
  try {
    Lib().mysql_close(handle_);
  } catch (...) {
    // The slot is empty only when the binding was released under us; nothing can be freed.
  }
  handle_ = nullptr;
}

}  // namespace tabulix::mysql_internal
