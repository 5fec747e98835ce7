#include "sql/SqlNumberText.h"

#include <cmath>

#include "framework/FormatSettings.h"
#include "framework/NumberText.h"

namespace tabulix {

double TextToFloat(std::string_view text) {
  return TextToFloatDef(text, 0.0);
}

double TextToFloatDef(std::string_view text, double defaultValue) {
  if (text.empty()) return 0.0;
  const char separator = FormatSettings::DecimalSeparator();
  std::string local(text);
  for (char& c : local) {
    if (c == '.' || c == ',') c = separator;
  }
  return TryStrToFloat(local).value_or(defaultValue);
}

std::string FloatToSqlText(double value) {
  std::string text = FloatToStr(value);
  const char separator = FormatSettings::DecimalSeparator();
  if (separator != '.') {
    if (auto pos = text.find(separator); pos != std::string::npos) text[pos] = '.';
  }
  return text;
}

std::string MoneyToSqlText(double value) {
  std::string text = FloatToSqlText(value);
  if (text.find('E') != std::string::npos) {
    // Cutting the mantissa would change the magnitude: a tiny amount is no cent at all, a
    // huge one has no cents to cut.
    return std::fabs(value) < 1.0 ? "0" : text;
  }
  if (auto point = text.find('.'); point != std::string::npos && text.size() > point + 3) {
    text.resize(point + 3);
  }
  return text;
}

std::string PadNumber(std::int64_t value, int width) {
  std::string digits = IntToStr(value);
  std::string sign;
  if (value < 0) {
    sign = "-";
    digits.erase(0, 1);
  }
  const int pad = width - static_cast<int>(sign.size() + digits.size());
  if (pad > 0) digits.insert(0, static_cast<std::size_t>(pad), '0');
  return sign + digits;
}

}  // namespace tabulix
