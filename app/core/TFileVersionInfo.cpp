#include "app/core/TFileVersionInfo.h"

#include "app/core/Settings.h"
#include "app/core/VersionResource.h"

namespace tabulix::app {

namespace {

constexpr std::array<const char*, 10> kValueNames = {
    "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTradeMarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};

}  // namespace

TFileVersionInfo::TFileVersionInfo() {
  SetExecutableFile(ExecutablePath());
}

void TFileVersionInfo::SetExecutableFile(std::string path) {
  executableFile_ = std::move(path);
  Read();
}

void TFileVersionInfo::Read() {
  for (std::string& value : values_) value.clear();
  countryCode_.clear();
  const std::string block = ReadVersionResource(executableFile_);
  if (block.empty()) return;
  std::optional<VersionValue> translation = QueryVersionValue(block, "\\VarFileInfo\\Translation");
  if (!translation || translation->bytes.size() < 4) return;
  // Language, then code page, each a little-endian 16-bit number: b1 b0 b3 b2 in hex.
  constexpr char kHex[] = "0123456789ABCDEF";
  for (int i : {1, 0, 3, 2}) {
    auto byte = static_cast<unsigned char>(translation->bytes[static_cast<std::size_t>(i)]);
    countryCode_.push_back(kHex[byte >> 4]);
    countryCode_.push_back(kHex[byte & 0xF]);
  }
  const std::string table = "\\StringFileInfo\\" + countryCode_ + "\\";
  for (std::size_t i = 0; i < kValueNames.size(); ++i) {
    std::optional<VersionValue> value = QueryVersionValue(block, table + kValueNames[i]);
    if (value) values_[i] = VersionText(*value);
  }
}

}  // namespace tabulix::app
