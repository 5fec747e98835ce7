#include "framework/FieldValue.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "framework/Exceptions.h"

namespace tabulix {

std::string_view FieldValue::KindName(Kind kind) {
  switch (kind) {
    case Kind::Empty:
      return "Empty";
    case Kind::Null:
      return "Null";
    case Kind::Integer:
      return "Integer";
    case Kind::Largeint:
      return "Int64";
    case Kind::Double:
      return "Double";
    case Kind::Currency:
      return "Currency";
    case Kind::Boolean:
      return "Boolean";
    case Kind::DateTime:
      return "Date";
    case Kind::Bytes:
      return "String";
  }
  return "Unknown";
}

void FieldValue::FailCast(std::string_view target) const {
  throw EVariantError("Variante des Typs (" + std::string(KindName(kind_)) +
                      ") konnte nicht in Typ (" + std::string(target) + ") konvertiert werden");
}

std::int64_t FieldValue::AsLargeint() const {
  switch (kind_) {
    case Kind::Integer:
    case Kind::Largeint:
      return std::get<std::int64_t>(data_);
    case Kind::Currency:
      return std::llround(static_cast<double>(std::get<std::int64_t>(data_)) / Currency::kScale);
    case Kind::Double:
    case Kind::DateTime: {
      double d = std::get<double>(data_);
      if (!std::isfinite(d) || std::fabs(d) >= 9.2e18) FailCast("Int64");
      return std::llrint(d);  // banker's rounding, as the runtime rounds
    }
    case Kind::Boolean:
      return std::get<bool>(data_) ? -1 : 0;
    case Kind::Bytes:
      return StrToInt64(std::get<std::string>(data_));
    default:
      FailCast("Int64");
  }
}

std::int32_t FieldValue::AsInteger() const {
  std::int64_t v = AsLargeint();
  if (v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max()) {
    FailCast("Integer");
  }
  return static_cast<std::int32_t>(v);
}

double FieldValue::AsDouble() const {
  switch (kind_) {
    case Kind::Integer:
    case Kind::Largeint:
      return static_cast<double>(std::get<std::int64_t>(data_));
    case Kind::Currency:
      return static_cast<double>(std::get<std::int64_t>(data_)) / Currency::kScale;
    case Kind::Double:
    case Kind::DateTime:
      return std::get<double>(data_);
    case Kind::Boolean:
      return std::get<bool>(data_) ? -1.0 : 0.0;
    case Kind::Bytes:
      return StrToFloat(std::get<std::string>(data_));
    default:
      FailCast("Double");
  }
}

Currency FieldValue::AsCurrency() const {
  switch (kind_) {
    case Kind::Currency:
      return Currency{std::get<std::int64_t>(data_)};
    case Kind::Integer:
    case Kind::Largeint:
      return Currency{std::get<std::int64_t>(data_) * Currency::kScale};
    case Kind::Bytes:
      return StrToCurr(std::get<std::string>(data_));
    default: {
      double d = AsDouble();
      if (!std::isfinite(d) || std::fabs(d) >= 9.2e14) FailCast("Currency");
      return Currency::FromDouble(d);
    }
  }
}

bool FieldValue::AsBoolean() const {
  switch (kind_) {
    case Kind::Boolean:
      return std::get<bool>(data_);
    case Kind::Integer:
    case Kind::Largeint:
    case Kind::Currency:
      return std::get<std::int64_t>(data_) != 0;
    case Kind::Double:
    case Kind::DateTime:
      return std::get<double>(data_) != 0.0;
    case Kind::Bytes: {
      const std::string& s = std::get<std::string>(data_);
      if (s == "True" || s == "true" || s == "TRUE") return true;
      if (s == "False" || s == "false" || s == "FALSE") return false;
      if (auto n = TryStrToFloat(s)) return *n != 0.0;
      FailCast("Boolean");
    }
    default:
      FailCast("Boolean");
  }
}

TDateTime FieldValue::AsDateTime() const {
  switch (kind_) {
    case Kind::DateTime:
    case Kind::Double:
      return std::get<double>(data_);
    case Kind::Integer:
    case Kind::Largeint:
      return static_cast<double>(std::get<std::int64_t>(data_));
    case Kind::Currency:
      return static_cast<double>(std::get<std::int64_t>(data_)) / Currency::kScale;
    case Kind::Bytes: {
      // "YYYY-MM-DD", "HH:MM:SS" or both, as DateTimeToStr writes them.
      const std::string& s = std::get<std::string>(data_);
      int y, mo, d, h = 0, mi = 0, se = 0, n = 0;
      if (std::sscanf(s.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &n) == 3) {
        auto date = TryEncodeDate(y, mo, d);
        if (!date) FailCast("Date");
        if (static_cast<std::size_t>(n) == s.size()) return *date;
        int m = 0;
        if (std::sscanf(s.c_str() + n, " %2d:%2d:%2d%n", &h, &mi, &se, &m) == 3 &&
            static_cast<std::size_t>(n + m) == s.size()) {
          if (auto t = TryEncodeTime(h, mi, se, 0)) return ComposeDateTime(*date, *t);
        }
      } else if (std::sscanf(s.c_str(), "%2d:%2d:%2d%n", &h, &mi, &se, &n) == 3 &&
                 static_cast<std::size_t>(n) == s.size()) {
        if (auto t = TryEncodeTime(h, mi, se, 0)) return *t;
      }
      FailCast("Date");
    }
    default:
      FailCast("Date");
  }
}

std::string FieldValue::AsText() const {
  switch (kind_) {
    case Kind::Empty:
    case Kind::Null:
      return {};
    case Kind::Integer:
    case Kind::Largeint:
      return IntToStr(std::get<std::int64_t>(data_));
    case Kind::Double:
      return FloatToStr(std::get<double>(data_));
    case Kind::Currency:
      return CurrToStr(Currency{std::get<std::int64_t>(data_)});
    case Kind::Boolean:
      return std::get<bool>(data_) ? "True" : "False";
    case Kind::DateTime:
      return DateTimeToStr(std::get<double>(data_));
    case Kind::Bytes:
      return std::get<std::string>(data_);
  }
  return {};
}

}  // namespace tabulix
