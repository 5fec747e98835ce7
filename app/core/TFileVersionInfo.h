#pragma once

#include <array>
#include <string>

#include "framework/TComponent.h"

namespace tabulix::app {

// Reads the version-information block of an executable file (VersionResource) and offers its
// standard texts. Setting ExecutableFile reads them afresh: all values, CountryCode included,
// are replaced, and a file without a block leaves them all empty. Only the first translation
// counts: CountryCode is its language and code page as 8 upper-case hex digits ("040704E4"),
// and the texts come from the string table of that name. Writing another value only stores it.
class TFileVersionInfo : public TComponent {
 public:
  // Reads the running program's own executable.
  TFileVersionInfo();

  const std::string& ExecutableFile() const { return executableFile_; }
  void SetExecutableFile(std::string path);

  const std::string& CompanyName() const { return values_[kCompanyName]; }
  const std::string& FileDescription() const { return values_[kFileDescription]; }
  const std::string& FileVersion() const { return values_[kFileVersion]; }
  const std::string& InternalName() const { return values_[kInternalName]; }
  const std::string& LegalCopyright() const { return values_[kLegalCopyright]; }
  const std::string& LegalTradeMarks() const { return values_[kLegalTradeMarks]; }
  const std::string& OriginalFilename() const { return values_[kOriginalFilename]; }
  const std::string& ProductName() const { return values_[kProductName]; }
  const std::string& ProductVersion() const { return values_[kProductVersion]; }
  const std::string& Comments() const { return values_[kComments]; }
  const std::string& CountryCode() const { return countryCode_; }

  void SetCompanyName(std::string v) { values_[kCompanyName] = std::move(v); }
  void SetFileDescription(std::string v) { values_[kFileDescription] = std::move(v); }
  void SetFileVersion(std::string v) { values_[kFileVersion] = std::move(v); }
  void SetInternalName(std::string v) { values_[kInternalName] = std::move(v); }
  void SetLegalCopyright(std::string v) { values_[kLegalCopyright] = std::move(v); }
  void SetLegalTradeMarks(std::string v) { values_[kLegalTradeMarks] = std::move(v); }
  void SetOriginalFilename(std::string v) { values_[kOriginalFilename] = std::move(v); }
  void SetProductName(std::string v) { values_[kProductName] = std::move(v); }
  void SetProductVersion(std::string v) { values_[kProductVersion] = std::move(v); }
  void SetComments(std::string v) { values_[kComments] = std::move(v); }
  void SetCountryCode(std::string v) { countryCode_ = std::move(v); }

 private:
  // In the order the values are read.
  enum Value {
    kCompanyName,
    kFileDescription,
    kFileVersion,
    kInternalName,
    kLegalCopyright,
    kLegalTradeMarks,
    kOriginalFilename,
    kProductName,
    kProductVersion,
    kComments,
    kValueCount
  };
  void Read();

  std::string executableFile_;
  std::array<std::string, kValueCount> values_;
  std::string countryCode_;
};

}  // namespace tabulix::app
