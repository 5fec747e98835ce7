#include "source/dbase/LanguageDriver.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "framework/AsciiCase.h"

namespace tabulix::source::dbase {
namespace {

struct DriverCodePage {
  std::uint8_t id;
  int codePage;
};

constexpr std::array<DriverCodePage, 67> kDrivers = {{
    {0x01, 437},   {0x02, 850},   {0x03, 1252}, {0x04, 10000}, {0x08, 865},  {0x09, 437},
    {0x0A, 850},   {0x0B, 437},   {0x0D, 437},  {0x0E, 850},   {0x0F, 437},  {0x10, 850},
    {0x11, 437},   {0x12, 850},   {0x13, 932},  {0x14, 850},   {0x15, 437},  {0x16, 850},
    {0x17, 865},   {0x18, 437},   {0x19, 437},  {0x1A, 850},   {0x1B, 437},  {0x1C, 863},
    {0x1D, 850},   {0x1F, 852},   {0x22, 852},  {0x23, 852},   {0x24, 860},  {0x25, 850},
    {0x26, 866},   {0x37, 850},   {0x40, 852},  {0x4D, 936},   {0x4E, 949},  {0x4F, 950},
    {0x50, 874},   {0x57, 1252},  {0x58, 1252}, {0x59, 1252},  {0x64, 852},  {0x65, 866},
    {0x66, 865},   {0x67, 861},   {0x68, 895},  {0x69, 620},   {0x6A, 737},  {0x6B, 857},
    {0x6C, 863},   {0x78, 950},   {0x79, 949},  {0x7A, 936},   {0x7B, 932},  {0x7C, 874},
    {0x7D, 1255},  {0x7E, 1256},  {0x86, 737},  {0x87, 852},   {0x88, 857},  {0x96, 10007},
    {0x97, 10029}, {0x98, 10006}, {0xC8, 1250}, {0xC9, 1251},  {0xCA, 1254}, {0xCB, 1253},
    {0xCC, 1257},
}};

std::string_view Trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int ToNumber(std::string_view digits) {
  int value = 0;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return ec == std::errc() && ptr == digits.data() + digits.size() ? value : 0;
}

// "1252", "88591", "885915": bare numbers as GIS tools write them.
std::string NumberEncodingName(std::string_view digits) {
  if (digits.size() >= 5 && digits.substr(0, 4) == "8859") {
    return "ISO-8859-" + std::string(digits.substr(4));
  }
  int codePage = ToNumber(digits);
  return codePage > 0 ? CodePageEncodingName(codePage) : std::string();
}

}  // namespace

int LanguageDriverCodePage(std::uint8_t id) {
  auto it = std::find_if(kDrivers.begin(), kDrivers.end(),
                         [id](const DriverCodePage& d) { return d.id == id; });
  return it == kDrivers.end() ? 0 : it->codePage;
}

int DriverNameCodePage(std::string_view name) {
  std::string upper = UpperCase(Trim(name));
  if (upper.starts_with("DBWIN") || upper.starts_with("ANSI") || upper.starts_with("BLLT1")) {
    return 1252;
  }
  if (upper.size() >= 5 && upper.starts_with("DB") &&
      AllDigits(std::string_view(upper).substr(2, 3))) {
    return ToNumber(std::string_view(upper).substr(2, 3));
  }
  return 0;
}

std::string CodePageEncodingName(int codePage) {
  switch (codePage) {
    case 10000:
      return "MACINTOSH";
    case 10006:
      return "MAC-GREEK";
    case 10007:
      return "MAC-CYRILLIC";
    case 10029:
      return "MAC-CENTRALEUROPE";
    case 65001:
      return "UTF-8";
    default:
      return "CP" + std::to_string(codePage);
  }
}

std::string CpgEncodingName(std::string_view text) {
  std::string_view label = Trim(text);
  if (label.starts_with("\xEF\xBB\xBF")) label = Trim(label.substr(3));
  // Only the first line counts.
  label = Trim(label.substr(0, std::min(label.find('\n'), label.size())));
  if (label.empty()) return {};
  if (AllDigits(label)) return NumberEncodingName(label);
  std::string upper = UpperCase(label);
  for (std::string_view prefix : {"CP", "ANSI", "OEM", "WINDOWS-", "IBM"}) {
    if (upper.starts_with(prefix)) {
      std::string_view rest = Trim(std::string_view(upper).substr(prefix.size()));
      if (AllDigits(rest)) return NumberEncodingName(rest);
    }
  }
  if (upper == "UTF8" || upper == "UTF-8") return "UTF-8";
  return std::string(label);
}

}  // namespace tabulix::source::dbase
