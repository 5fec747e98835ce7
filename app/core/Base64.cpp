#include "app/core/Base64.h"

namespace tabulix::app {

void AppendBase64(std::string& out, std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::size_t start = out.size();
  out.resize(start + (bytes.size() + 2) / 3 * 4);
  char* p = out.data() + start;
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  std::size_t i = 0;
  for (; i + 3 <= n; i += 3) {
    unsigned v = in[i] << 16 | in[i + 1] << 8 | in[i + 2];
    *p++ = kAlphabet[v >> 18];
    *p++ = kAlphabet[v >> 12 & 63];
    *p++ = kAlphabet[v >> 6 & 63];
    *p++ = kAlphabet[v & 63];
  }
  if (i < n) {
    unsigned v = in[i] << 16 | (i + 1 < n ? in[i + 1] << 8 : 0);
    *p++ = kAlphabet[v >> 18];
    *p++ = kAlphabet[v >> 12 & 63];
    *p++ = i + 1 < n ? kAlphabet[v >> 6 & 63] : '=';
    *p++ = '=';
  }
}

}  // namespace tabulix::app
