#pragma once

#include <cstddef>
#include <cstdint>

namespace tabulix {

// A blob held by the server and reached through a handle (the blob kinds other than 0 of a
// record's blob slot). The MySQL query never makes one: MySQL rows carry their blob values,
// so this is the call contract that TZBlobStream relies on, for servers that have such blobs.
// Every operation sets Ok() to whether it succeeded.
class TDirBlob {
 public:
  virtual ~TDirBlob() = default;

  // The server's identifier of the blob (two 32-bit halves in a blob slot).
  std::uint64_t Handle() const { return handle_; }
  void SetHandle(std::uint64_t handle) { handle_ = handle; }
  bool Ok() const { return ok_; }

  // Opens the blob Handle names for reading (0), writing (1) or both (2).
  virtual void Open(int mode) = 0;
  virtual void Close() = 0;
  // Bytes read into buffer, at most count; fewer at the end.
  virtual std::size_t Read(char* buffer, std::size_t count) = 0;
  virtual std::size_t Write(const char* buffer, std::size_t count) = 0;
  // Makes a new empty blob, opened for writing; Handle then names it.
  virtual void Create() = 0;
  // Removes the blob Handle names from the server.
  virtual void Remove() = 0;

 protected:
  void SetOk(bool ok) { ok_ = ok; }

 private:
  std::uint64_t handle_ = 0;
  bool ok_ = false;
};

}  // namespace tabulix
