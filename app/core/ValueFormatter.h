#pragma once

#include <string>
#include <string_view>

#include "framework/FieldValue.h"

namespace tabulix {
class TField;
}

namespace tabulix::app {

// How a rendered value is to be written: not at all (null), as it stands (numbers, booleans),
// as a text that needs escaping or quoting, or as a text that never does (dates, base64;
// only quotes around it).
enum class ValueShape { Null, Bare, Text, PlainText };

struct RenderedValue {
  ValueShape shape;
  std::string_view text;  // valid until the next Render
};

// Turns field values into the texts of a dump: integers in decimal, floats in their shortest
// round-trip form, BCD values with the field's decimals (at most four), booleans as true or
// false, dates "YYYY-MM-DD", times "HH:MM:SS" and date-times "YYYY-MM-DD HH:MM:SS" (".mmm"
// when the milliseconds are not 0), character and memo text as it stands, binary content in
// base64. Floats that are not numbers come as the texts NaN, Infinity and -Infinity.
class ValueFormatter {
 public:
  // The text may point into value, which must outlive its use.
  RenderedValue Render(const TField& field, const FieldValue& value);
  RenderedValue Render(const TField& field, FieldValue&& value) = delete;
  // Appends the value as a CSV field: as Render gives it, with texts quoted where needed and
  // nothing for null.
  void AppendCsv(const TField& field, const FieldValue& value, std::string& out);

 private:
  // Appends the text of a number, date, boolean or binary value to out; a text value is not
  // copied but given in text.
  static ValueShape Format(const TField& field, const FieldValue& value, std::string& out,
                           std::string_view& text);

  std::string scratch_;
};

// Appends text as a JSON string: quoted, escaped, with invalid UTF-8 replaced by U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

// Appends text as an RFC 4180 field: quoted when it holds a comma, quote, CR or LF, or when
// it is empty (so that an empty text differs from a missing value).
void AppendCsvField(std::string& out, std::string_view text);

}  // namespace tabulix::app
