#include "source/paradox/ParadoxCodePage.h"

#include <array>
#include <cctype>
#include <utility>

#include "framework/AsciiCase.h"

namespace tabulix::source::paradox {
namespace {

// Collations named after a language rather than a code page.
constexpr std::array<std::pair<std::string_view, std::string_view>, 12> kCollations{{
    {"ascii", "CP437"},
    {"intl", "CP437"},
    {"intl850", "CP850"},
    {"nordan", "CP865"},
    {"nordan40", "CP865"},
    {"swedfin", "CP437"},
    {"cyrr", "CP866"},
    {"hebrew", "CP862"},
    {"china", "CP936"},
    {"korea", "CP949"},
    {"japan", "CP932"},
    {"taiwan", "CP950"},
}};

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualsIgnoreCase(s.substr(0, prefix.size()), prefix);
}

}  // namespace

std::string ParadoxTextEncoding(int codePage, std::string_view sortOrder) {
  std::string declared = ParadoxDeclaredEncoding(codePage, sortOrder);
  return declared.empty() ? "CP437" : declared;
}

std::string ParadoxDeclaredEncoding(int codePage, std::string_view sortOrder) {
  if (codePage != 0) return "CP" + std::to_string(codePage);
  for (const auto& [name, encoding] : kCollations) {
    if (EqualsIgnoreCase(sortOrder, name)) return std::string(encoding);
  }
  // Driver-style names: DBWINUS0 and ANSI... are Windows-1252, DB437US0 names code page 437.
  if (StartsWith(sortOrder, "DBWIN") || StartsWith(sortOrder, "ANSI")) return "CP1252";
  if (StartsWith(sortOrder, "DB") && sortOrder.size() >= 5 &&
      std::isdigit(static_cast<unsigned char>(sortOrder[2])) &&
      std::isdigit(static_cast<unsigned char>(sortOrder[3])) &&
      std::isdigit(static_cast<unsigned char>(sortOrder[4]))) {
    return "CP" + std::string(sortOrder.substr(2, 3));
  }
  return {};
}

}  // namespace tabulix::source::paradox
