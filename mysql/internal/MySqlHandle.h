#pragma once

#include <string>
#include <string_view>

struct st_mysql;

namespace tabulix::mysql_internal {

// Owns one client-library connection handle (MYSQL*); the destructor logs out and frees it.
class MySqlHandle {
 public:
  MySqlHandle() = default;
  ~MySqlHandle() { Reset(); }
  MySqlHandle(MySqlHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  MySqlHandle& operator=(MySqlHandle&& other) noexcept;
  MySqlHandle(const MySqlHandle&) = delete;
  MySqlHandle& operator=(const MySqlHandle&) = delete;

  // A fresh handle (mysql_init) that asks for utf8mb4 at login; empty when the library cannot
  // allocate one. Raises when the library lacks mysql_init.
  static MySqlHandle Init();

  explicit operator bool() const { return handle_ != nullptr; }
  st_mysql* Get() const { return handle_; }
  // Asks for the compressed protocol at the next login.
  void UseCompression();
  // Offers the server LOAD DATA LOCAL INFILE at the next login, with callbacks that refuse
  // every request until a bulk load arms them (LocalInfile.h).
  void AllowLocalInfile();
  // Logs in with mysql_real_connect; empty texts are passed as "use the default". The socket
  // is the Unix socket used when host is empty or "localhost".
  bool Connect(const std::string& host, const std::string& user, const std::string& password,
               const std::string& database, unsigned port, unsigned long clientFlag,
               const std::string& socket = {});
  // Sends one statement; the answer of the server is in ErrorText and ErrorNumber.
  bool Query(std::string_view statement) { return Query(handle_, statement); }
  // Reads off and frees every result the last (successful) statement left on the connection.
  // False when one of them failed (a later statement of a procedure, a SIGNAL, a statement
  // cut off by a time limit while its rows were on the way); the connection then holds that
  // failure's message and number, as after a statement refused at once.
  bool DiscardResults(bool currentTaken = false) noexcept {
    return DiscardResults(handle_, currentTaken);
  }
  // The message and number of the last call on this handle ("" and 0 after success).
  std::string ErrorText() const { return ErrorText(handle_); }
  unsigned ErrorNumber() const { return ErrorNumber(handle_); }

  // The same on a handle owned elsewhere; a null handle fails and has no error.
  // The whole text is sent, with its length: a zero byte inside does not end it.
  static bool Query(st_mysql* handle, std::string_view statement);
  // currentTaken: the caller has already stored or streamed the statement's first result.
  static bool DiscardResults(st_mysql* handle, bool currentTaken = false) noexcept;
  static std::string ErrorText(st_mysql* handle);
  static unsigned ErrorNumber(st_mysql* handle);
  // Closes the connection (mysql_close); harmless when empty. Never raises.
  void Reset() noexcept;

 private:
  explicit MySqlHandle(st_mysql* handle) : handle_(handle) {}
  st_mysql* handle_ = nullptr;
};

}  // namespace tabulix::mysql_internal
