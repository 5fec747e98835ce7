#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tabulix {

// Fills the %s and %d placeholders of a message pattern in order with the given texts.
// "%%" stands for one percent sign; placeholders without an argument stay as they are.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace tabulix
