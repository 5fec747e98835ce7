#include "app/core/ValueWarningLines.h"

#include <array>

#include "source/TableBDE.h"

namespace tabulix::app {

namespace {

using source::ValueProblem;

// What each problem says, for one value and for several, and what became of them.
struct ProblemText {
  ValueProblem problem;
  std::string_view one;
  std::string_view many;
  std::string_view outcome;
};

constexpr std::array<ProblemText, 9> kProblems = {{
    {ValueProblem::NotANumber, "value is not a number", "values are not numbers", "read as null"},
    {ValueProblem::NumberTooLarge, "value is too large for the field's number type",
     "values are too large for the field's number type", "read as null"},
    {ValueProblem::InvalidDate, "value is not a valid date", "values are not valid dates",
     "read as null"},
    {ValueProblem::UnknownLogical, "value is not a logical value (T, F, Y or N)",
     "values are not logical values (T, F, Y or N)", "read as null"},
    {ValueProblem::DamagedLength, "value has a length beyond the field",
     "values have a length beyond the field", "read as null"},
    {ValueProblem::BadBcdDigit, "value holds a BCD digit above 9", "values hold BCD digits above 9",
     "read as null"},
    {ValueProblem::UndefinedBytes, "value holds bytes that code page % does not define",
     "values hold bytes that code page % does not define", "read as U+FFFD"},
    {ValueProblem::LooksLikeUtf8, "value looks like UTF-8 text", "values look like UTF-8 text",
     "read as %"},
    {ValueProblem::MemoFileMissing, "value is in the missing memo file %",
     "values are in the missing memo file %", "read as null"},
}};

constexpr bool InProblemOrder() {
  for (std::size_t i = 0; i < kProblems.size(); ++i) {
    if (static_cast<std::size_t>(kProblems[i].problem) != i) return false;
  }
  return true;
}
static_assert(InProblemOrder(), "one text per problem, in the order of ValueProblem");

// The text with its one % replaced.
std::string Fill(std::string_view text, std::string_view value) {
  std::string out(text);
  if (auto at = out.find('%'); at != std::string::npos) out.replace(at, 1, value);
  return out;
}

}  // namespace

std::string ShownBytes(std::string_view stored) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const bool cut = stored.size() > source::ValueWarning::kStoredBytesKept;
  if (cut) stored = stored.substr(0, source::ValueWarning::kStoredBytesKept);
  std::string out;
  for (char c : stored) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && c != '\\' && c != '`') {
      out.push_back(c);
    } else {
      out += "\\x";
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 15]);
    }
  }
  if (cut) out += "...";
  return out;
}

std::string WarningLine(const source::ValueWarning& warning, std::string_view fieldName,
                        std::string_view encoding, std::string_view memoFile) {
  const ProblemText& text = kProblems[static_cast<std::size_t>(warning.problem)];
  std::string_view fill = warning.problem == ValueProblem::MemoFileMissing ? memoFile : encoding;
  std::string line(fieldName);
  line += ": " + std::to_string(warning.count) + " ";
  line += Fill(warning.count == 1 ? text.one : text.many, fill);
  line += ", " + Fill(text.outcome, fill);
  line += " (first: record " + std::to_string(warning.firstRecord);
  if (!warning.firstStored.empty()) line += ", `" + ShownBytes(warning.firstStored) + "`";
  line += ")";
  if (warning.problem == ValueProblem::UndefinedBytes) {
    line += "; if the field holds binary data, read it with --binary " + std::string(fieldName);
  } else if (warning.problem == ValueProblem::LooksLikeUtf8) {
    line += "; --encoding UTF-8 would read " + std::string(warning.count == 1 ? "it" : "them") +
            " as UTF-8";
  }
  return line;
}

std::vector<std::string> WarningLines(const source::TTableBDE& table) {
  std::vector<std::string> lines;
  if (!table.Active()) return lines;
  const source::ValueWarnings& warnings = table.Warnings();
  std::string encoding = table.Encoding();
  for (const source::ValueWarning& w : warnings.List()) {
    // Warnings count by the reader's field positions, which are the column definitions'.
    const int i = static_cast<int>(w.field);
    std::string name = i < table.FieldDefs().Count() ? table.FieldDefs()[i].Name
                                                     : "field " + std::to_string(i + 1);
    lines.push_back(WarningLine(w, name, encoding, warnings.MissingMemoFile()));
  }
  return lines;
}

std::string_view EncodingOriginName(source::EncodingOrigin origin) {
  switch (origin) {
    case source::EncodingOrigin::Header:
      return "header";
    case source::EncodingOrigin::CpgFile:
      return ".cpg file";
    case source::EncodingOrigin::Detected:
      return "detected";
    case source::EncodingOrigin::Default:
      return "default";
    case source::EncodingOrigin::Option:
      return "--encoding";
  }
  return "";
}

}  // namespace tabulix::app
