#include "sql/SqlNumberText.h"

#include <cmath>

#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"

namespace tabulix {
namespace {

// The text with every "," as "."; the server and the C notation know only the point.
std::string WithPoint(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == ',') c = '.';
  }
  return out;
}

}  // namespace

double TextToFloat(std::string_view text) {
  return TextToFloatDef(text, 0.0);
}

double TextToFloatDef(std::string_view text, double defaultValue) {
  if (text.empty()) return 0.0;
  return TryTextToFloat(WithPoint(text), '.').value_or(defaultValue);
}

std::string FloatToSqlText(double value) {
  // 17 significant digits always carry a double exactly; fewer are tried first so that every
  // value that 15 digits carry keeps its short form.
  for (int digits = 15; digits < 17; ++digits) {
    std::string text = FloatToText(value, digits, '.');
    if (!std::isfinite(value) || TryTextToFloat(text, '.') == value) return text;
  }
  return FloatToText(value, 17, '.');
}

std::string MoneyToSqlText(double value) {
  // Fifteen digits, as a cut 17-digit text would lose a cent: 0.29999999999999999 is 0.3.
  std::string text = FloatToText(value, 15, '.');
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

std::string CurrencyToSqlText(Currency value) {
  return CurrToText(value, '.');
}

Currency SqlTextToCurrency(std::string_view text) {
  if (auto amount = TryTextToCurr(WithPoint(text), '.')) return *amount;
  throw EConvertError(FormatMessage("'%s' ist kein gültiger Gleitkommawert", {text}));
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
