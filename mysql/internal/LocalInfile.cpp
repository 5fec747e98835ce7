#include "mysql/internal/LocalInfile.h"

#include <errmsg.h>

#include <algorithm>
#include <cstring>

#include "mysql/internal/ClientApi.h"

namespace tabulix::mysql_internal {
namespace {

// The client library's callbacks are plain C: nothing here may raise.
int Init(void** state, const char* /*fileName*/, void* userData) {
  auto* data = static_cast<LocalInfileData*>(userData);
  *state = data;
  if (!data) return 1;
  data->position = 0;
  data->requested = true;
  return 0;
}

int Read(void* state, char* buffer, unsigned int length) {
  auto* data = static_cast<LocalInfileData*>(state);
  if (!data) return -1;
  const std::size_t n = std::min<std::size_t>(length, data->bytes.size() - data->position);
  std::memcpy(buffer, data->bytes.data() + data->position, n);
  data->position += n;
  return static_cast<int>(n);
}

void End(void* /*state*/) {}

int Error(void* state, char* message, unsigned int length) {
  if (length > 0) {
    const char* text = state ? "Reading the rows of the bulk load failed" : kLocalInfileRefused;
    const std::size_t n = std::min<std::size_t>(std::strlen(text), length - 1);
    std::memcpy(message, text, n);
    message[n] = '\0';
  }
  return CR_UNKNOWN_ERROR;
}

}  // namespace

void ServeLocalInfile(st_mysql* handle, LocalInfileData* data) {
  if (handle) Lib().mysql_set_local_infile_handler(handle, Init, Read, End, Error, data);
}

}  // namespace tabulix::mysql_internal
