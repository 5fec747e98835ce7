#include "source/dbase/TableEncoding.h"

#include <cstdio>

#include "source/ReadOnlyFile.h"
#include "source/dbase/CompanionFile.h"
#include "source/dbase/LanguageDriver.h"

namespace tabulix::source::dbase {
namespace {

constexpr std::size_t kCpgMaxBytes = 256;

std::string Hex(unsigned value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", value);
  return buf;
}

}  // namespace

EncodingChoice ChooseTableEncoding(const std::string& tablePath, const DbaseHeader& header,
                                   const ReaderOptions& options) {
  if (!options.encoding.empty()) {
    return {options.encoding, "the encoding option", EncodingOrigin::Option};
  }
  if (auto cpg = FindCompanionFile(tablePath, ".cpg")) {
    ReadOnlyFile file(*cpg);
    std::string text(kCpgMaxBytes, '\0');
    text.resize(file.ReadAt(0, text.data(), text.size()));
    std::string name = CpgEncodingName(text);
    if (!name.empty()) return {name, *cpg, EncodingOrigin::CpgFile};
  }
  if (int codePage = LanguageDriverCodePage(header.languageDriver)) {
    return {CodePageEncodingName(codePage),
            "language driver " + Hex(header.languageDriver) + " (code page " +
                std::to_string(codePage) + ")",
            EncodingOrigin::Header};
  }
  if (int codePage = DriverNameCodePage(header.driverName)) {
    return {CodePageEncodingName(codePage), "language driver " + header.driverName,
            EncodingOrigin::Header};
  }
  return {"CP437", "the default code page", EncodingOrigin::Default};
}

}  // namespace tabulix::source::dbase
