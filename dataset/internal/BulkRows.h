#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The rows of one bulk unit in either of the two forms the server takes them in: the value
// lists of a multi-row INSERT, or the lines of a LOAD DATA file. Both are made from the INSERT
// literals of the dataset, so a value is the same whichever way it goes; and a LOAD line turns
// back into the INSERT's value list, so that a unit the server refused can be sent again in
// parts, as INSERTs, to find the record at fault.
namespace tabulix::dataset_internal {

// What the literals of a column look like: a quoted string ('...') or a bare word (a number,
// NULL). Unknown while every value seen was NULL.
enum class LiteralKind : std::uint8_t { Unknown, Quoted, Bare };

LiteralKind KindOf(std::string_view literal);

// Appends the LOAD DATA field (tab-separated, backslash as escape) that makes the server store
// what the literal makes it store: \N for NULL; for a quoted literal its content, whose escapes
// mean in a LOAD file what they mean in a string literal, with raw tabs and line feeds written
// \t and \n; a bare word escaped whole.
void AppendLoadField(std::string& out, std::string_view literal);
// The other way round: appends the literal of a field for a column of that kind, the very
// literal the field was made from.
void AppendLiteral(std::string& out, std::string_view field, LiteralKind kind);

// The rows of a unit: text holds the rows back to back, INSERT value lists ("(...)" separated
// by ",", after the statement's head) or LOAD lines (each ending in "\n"); ends[i] is where row
// i ends (for INSERT, after its ")").
class BulkRows {
 public:
  enum class Form : std::uint8_t { Insert, Load };

  BulkRows(Form form, std::string head) : form_(form), head_(std::move(head)) { Clear(1); }

  Form GetForm() const { return form_; }
  std::size_t Count() const { return ends_.size(); }
  std::int64_t FirstRow() const { return firstRow_; }
  std::int64_t LastRow() const { return firstRow_ + static_cast<std::int64_t>(Count()) - 1; }
  std::size_t Bytes() const { return text_.size(); }

  // Empties the unit; its first row will be row number firstRow. Keeps the capacity.
  void Clear(std::int64_t firstRow);
  void Reserve(std::size_t bytes) { text_.reserve(bytes); }

  // Adds one row from the literals of its columns, in column order; kinds records the kind of
  // each column's literals as they come.
  void AddRow(const std::vector<std::string>& literals, std::vector<LiteralKind>& kinds);
  // Moves the last row to the (empty) other unit, which then starts with it.
  void MoveLastRowTo(BulkRows& other);

  // For INSERT the whole statement; for LOAD the file.
  std::string_view Text() const { return text_; }
  // One INSERT of the rows [first, last) of the unit (indexes from 0), in either form; kinds
  // says how to turn LOAD fields back into literals.
  std::string InsertStatement(const std::string& insertHead, std::size_t first, std::size_t last,
                              const std::vector<LiteralKind>& kinds) const;

 private:
  std::size_t Start(std::size_t row) const;

  Form form_;
  std::string head_;  // the INSERT head that begins an INSERT unit; empty for LOAD
  std::string text_;
  std::vector<std::uint32_t> ends_;
  std::int64_t firstRow_ = 1;
};

}  // namespace tabulix::dataset_internal
