#include "mysql/ColumnName.h"

#include <algorithm>

#include "framework/AsciiCase.h"
#include "mysql/internal/QuoteIdentifier.h"
#include "mysql/internal/ReservedWords.h"

namespace tabulix {
namespace {

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsPlainName(std::string_view name) {
  if (name.empty() || !(IsAsciiLetter(name[0]) || name[0] == '_')) return false;
  return std::all_of(name.begin() + 1, name.end(), [](char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '$';
  });
}

}  // namespace

bool IsReservedWord(std::string_view word) {
  const auto words = mysql_internal::ReservedWords();
  return std::binary_search(words.begin(), words.end(), std::string_view(UpperCase(word)));
}

std::string QuoteColumnName(std::string_view name) {
  if (IsPlainName(name) && !IsReservedWord(name)) return std::string(name);
  return mysql_internal::QuoteIdentifier(name);
}

}  // namespace tabulix
