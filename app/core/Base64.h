#pragma once

#include <string>
#include <string_view>

namespace tabulix::app {

// Appends the standard base64 form (with padding) of bytes.
void AppendBase64(std::string& out, std::string_view bytes);

}  // namespace tabulix::app
