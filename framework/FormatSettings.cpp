#include "framework/FormatSettings.h"

#include <clocale>

namespace tabulix {
namespace {

char LocaleSeparator() {
  const std::lconv* conv = std::localeconv();
  if (conv && conv->decimal_point && conv->decimal_point[0] != '\0') return conv->decimal_point[0];
  return '.';
}

char& Separator() {
  static char separator = LocaleSeparator();
  return separator;
}

}  // namespace

char FormatSettings::DecimalSeparator() {
  return Separator();
}
void FormatSettings::SetDecimalSeparator(char separator) {
  Separator() = separator;
}
void FormatSettings::ResetFromLocale() {
  Separator() = LocaleSeparator();
}

}  // namespace tabulix
