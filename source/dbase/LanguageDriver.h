#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Where a dBase table says which code page its text is in.
namespace tabulix::source::dbase {

// Code page of a language driver id (header byte 29); 0 for "not marked" and unknown ids.
int LanguageDriverCodePage(std::uint8_t id);

// Code page of a dBase 7 language driver name such as "DB437US0" or "DBWINUS0"; 0 if unknown.
int DriverNameCodePage(std::string_view name);

// The encoding name for a code page number (437 -> "CP437", 10000 -> "MACINTOSH",
// 65001 -> "UTF-8").
std::string CodePageEncodingName(int codePage);

// The encoding named by the text of a .cpg file ("1251", "CP1252", "ANSI 1251", "UTF-8",
// "88591", "ISO-8859-1"); empty when the text names nothing.
std::string CpgEncodingName(std::string_view text);

}  // namespace tabulix::source::dbase
