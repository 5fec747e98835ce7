#pragma once

namespace tabulix {

// The process-wide number format of the locale. Number conversions read the decimal
// separator from here; it starts as the C library's locale says and tests may change it.
class FormatSettings {
 public:
  static char DecimalSeparator();
  static void SetDecimalSeparator(char separator);
  // Re-reads the separator from the C library's current locale.
  static void ResetFromLocale();
};

// Sets the decimal separator for a scope and puts the old one back afterwards.
class DecimalSeparatorScope {
 public:
  explicit DecimalSeparatorScope(char separator) : saved_(FormatSettings::DecimalSeparator()) {
    FormatSettings::SetDecimalSeparator(separator);
  }
  ~DecimalSeparatorScope() { FormatSettings::SetDecimalSeparator(saved_); }
  DecimalSeparatorScope(const DecimalSeparatorScope&) = delete;
  DecimalSeparatorScope& operator=(const DecimalSeparatorScope&) = delete;

 private:
  char saved_;
};

}  // namespace tabulix
