#include "app/core/TableDefinition.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <unordered_set>

#include "framework/AsciiCase.h"

namespace tabulix::app {

namespace {

// Case mapping by the Unicode tables of the C library, through a locale object of its own, so
// the process locale (which a window sets from the environment) changes nothing. Made once and
// kept for the life of the process; nullptr when the C library has no UTF-8 locale, and then
// only ASCII letters are mapped.
locale_t UnicodeCaseLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

// The code point starting at text[i] and its length in bytes; 0 bytes when no valid UTF-8
// sequence starts there.
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  char32_t cp = 0;
  if (lead < 0x80) return {lead, 1};
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07u;
  } else {
    return {0, 0};
  }
  if (i + length > text.size()) return {0, 0};
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0u) != 0x80u) return {0, 0};
    cp = (cp << 6) | (byte(i + k) & 0x3Fu);
  }
  const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < minimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {0, 0};
  return {cp, length};
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Stand-in until the SQL layer's name helper is here: backticks for what is no plain name.
std::string ColumnNameText(std::string_view name) {
  bool plain = !name.empty();
  for (char c : name) {
    plain = plain && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                      (c >= '0' && c <= '9') || c == '_' || c == '$');
  }
  if (plain) return std::string(name);
  std::string out = "`";
  for (char c : name) out += c == '`' ? std::string("``") : std::string(1, c);
  return out + "`";
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(first, last - first));
}

bool IsForbiddenDatabaseName(std::string_view typed) {
  const std::string name = TrimBlanks(UpperCase(typed));
  return name.empty() || name == "MYSQL";
}

std::string ColumnNameKey(std::string_view name) {
  const locale_t locale = UnicodeCaseLocale();
  std::string key;
  key.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    auto [cp, length] = DecodeUtf8(name, i);
    if (length == 0) {
      key += name[i++];
      continue;
    }
    if (cp < 0x80) {
      key += AsciiUpper(static_cast<char>(cp));
    } else if (locale != static_cast<locale_t>(0)) {
      AppendUtf8(key, static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), locale)));
    } else {
      key.append(name.substr(i, length));
    }
    i += length;
  }
  return key;
}

std::vector<std::string> TargetColumnNames(const std::vector<FieldGridRow>& rows, std::size_t n) {
  n = std::min(n, rows.size());
  std::vector<std::string> names(n);
  std::vector<bool> repeated(n, false);
  std::unordered_set<std::string> used;
  // The first of each name keeps it, even when a later suffix would have produced it.
  for (std::size_t i = 0; i < n; ++i) {
    names[i] = rows[i][0];
    repeated[i] = !used.insert(ColumnNameKey(names[i])).second;
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (!repeated[i]) continue;
    for (int suffix = 2;; ++suffix) {
      std::string candidate = rows[i][0] + "_" + std::to_string(suffix);
      if (used.insert(ColumnNameKey(candidate)).second) {
        names[i] = std::move(candidate);
        break;
      }
    }
  }
  return names;
}

std::string BuildTableDefinition(std::string_view table, const std::vector<FieldGridRow>& rows,
                                 std::size_t n) {
  n = std::min(n, rows.size());
  const std::vector<std::string> names = TargetColumnNames(rows, n);
  std::string keys;
  for (std::size_t r = 0; r < n; ++r) {
    if (rows[r][4] == "KEY") keys += ColumnNameText(names[r]) + ",";
  }
  if (!keys.empty()) {
    keys.back() = ')';
    keys = " PRIMARY KEY (" + keys;
  }
  std::string text = "create table if not exists " + std::string(table) + "(";
  for (std::size_t r = 0; r < n; ++r) text += ColumnNameText(names[r]) + " " + rows[r][3] + ",";
  if (!keys.empty()) {
    text.back() = ',';
    text += keys + ")";
  } else {
    text.back() = ')';
  }
  return text;
}

}  // namespace tabulix::app
