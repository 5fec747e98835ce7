#include "app/core/TableDefinition.h"

#include <algorithm>
#include <unordered_set>

#include "framework/AsciiCase.h"
#include "framework/Utf8Text.h"
#include "mysql/ColumnName.h"

namespace tabulix::app {

namespace {

// The capital of a letter of the Latin, Greek and Cyrillic scripts, the scripts of every code
// page a source table can declare, as the server pairs them when it compares column names (by
// the Unicode case pairs, except that final sigma and palochka stay apart); other code points
// stay. Done here
// rather than through a locale so the process locale (which a window sets from the
// environment) changes nothing.
char32_t UpperCaseLetter(char32_t cp) {
  const auto oddToEven = [cp] { return (cp & 1) != 0 ? cp - 1 : cp; };
  const auto evenToOdd = [cp] { return (cp & 1) == 0 ? cp - 1 : cp; };
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if (cp < 0xE0) return cp;
  if (cp <= 0xFE) return cp == 0xF7 ? cp : cp - 32;  // Latin-1, not the division sign
  if (cp == 0xFF) return 0x178;
  if (cp >= 0x100 && cp <= 0x137) return oddToEven();  // Latin Extended-A
  if (cp >= 0x139 && cp <= 0x148) return evenToOdd();
  if (cp >= 0x14A && cp <= 0x177) return oddToEven();
  if (cp >= 0x179 && cp <= 0x17E) return evenToOdd();
  if (cp == 0x3AC) return 0x386;  // Greek
  if (cp >= 0x3AD && cp <= 0x3AF) return cp - 37;
  if ((cp >= 0x3B1 && cp <= 0x3C1) || (cp >= 0x3C3 && cp <= 0x3CB)) return cp - 32;
  if (cp == 0x3CC) return 0x38C;
  if (cp == 0x3CD || cp == 0x3CE) return cp - 63;
  if (cp >= 0x430 && cp <= 0x44F) return cp - 32;  // Cyrillic
  if (cp >= 0x450 && cp <= 0x45F) return cp - 80;
  if ((cp >= 0x460 && cp <= 0x481) || (cp >= 0x48A && cp <= 0x4BF)) return oddToEven();
  if (cp >= 0x4C1 && cp <= 0x4CE) return evenToOdd();
  if (cp >= 0x4D0 && cp <= 0x52F) return oddToEven();
  return cp;
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
  std::string key;
  key.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    auto [cp, length] = DecodeUtf8(name, i);
    if (length == 0) {
      key += name[i++];
      continue;
    }
    AppendUtf8(key, UpperCaseLetter(cp));
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
    if (rows[r][4] == "KEY") keys += QuoteColumnName(names[r]) + ",";
  }
  if (!keys.empty()) {
    keys.back() = ')';
    keys = " PRIMARY KEY (" + keys;
  }
  std::string text = "create table if not exists " + std::string(table) + "(";
  for (std::size_t r = 0; r < n; ++r) text += QuoteColumnName(names[r]) + " " + rows[r][3] + ",";
  if (!keys.empty()) {
    text.back() = ',';
    text += keys + ")";
  } else {
    text.back() = ')';
  }
  return text;
}

}  // namespace tabulix::app
