#pragma once

#include <cstddef>
#include <string_view>

struct st_mysql;

namespace tabulix::mysql_internal {

// The bytes a LOAD DATA LOCAL INFILE statement reads, served from memory: no file of this
// machine is ever opened for the server.
struct LocalInfileData {
  std::string_view bytes;
  std::size_t position = 0;
  bool requested = false;  // the server asked for the file
};

// The message of a request that finds no data armed.
inline constexpr const char* kLocalInfileRefused =
    "This program sends the server no local file other than the rows of a bulk load";

// Installs the local-infile callbacks on the handle. With data, the server's next request for a
// local file, whatever name it gives, reads those bytes; with null every request is refused.
// The handle must not use the client library's default callbacks, which open the file the
// server names: a server may ask for a file in answer to any statement.
void ServeLocalInfile(st_mysql* handle, LocalInfileData* data);

}  // namespace tabulix::mysql_internal
