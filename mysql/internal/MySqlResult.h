#pragma once

struct st_mysql_res;

namespace tabulix::mysql_internal {

// Owns one client-library result set (MYSQL_RES*). Freeing a streamed result reads its rest
// first, so the connection is ready for the next statement.
class MySqlResult {
 public:
  MySqlResult() = default;
  MySqlResult(st_mysql_res* result, bool streamed) : result_(result), streamed_(streamed) {}
  ~MySqlResult() { Reset(); }
  MySqlResult(MySqlResult&& other) noexcept : result_(other.result_), streamed_(other.streamed_) {
    other.result_ = nullptr;
  }
  MySqlResult& operator=(MySqlResult&& other) noexcept;
  MySqlResult(const MySqlResult&) = delete;
  MySqlResult& operator=(const MySqlResult&) = delete;

  explicit operator bool() const { return result_ != nullptr; }
  st_mysql_res* Get() const { return result_; }
  bool Streamed() const { return streamed_; }
  // Drains and frees the result; harmless when empty. Never raises.
  void Reset() noexcept;

 private:
  st_mysql_res* result_ = nullptr;
  bool streamed_ = false;
};

}  // namespace tabulix::mysql_internal
