#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabulix::source {

// Why a reader could not deliver a stored value as it stands.
enum class ValueProblem : std::uint8_t {
  NotANumber,       // dBase N/F text that is no number: null
  NumberTooLarge,   // a number beyond the field's integer type: null
  InvalidDate,      // a date or date-time that is no calendar date: null
  UnknownLogical,   // a dBase logical byte other than T, F, Y, N, ? or blank: null
  DamagedLength,    // a Visual FoxPro varchar/varbinary length past the field: null
  BadBcdDigit,      // a Paradox BCD digit nibble above 9: null
  UndefinedBytes,   // text bytes the code page does not define: U+FFFD in their place
  LooksLikeUtf8,    // text that forms UTF-8, read in the table's other code page
  MemoFileMissing,  // a memo or blob in the missing memo file: null
};

// One field's count of one problem, with the first record (1-based, as a dump numbers them)
// and what it stored.
struct ValueWarning {
  static constexpr std::size_t kStoredBytesKept = 40;

  std::size_t field = 0;
  ValueProblem problem = ValueProblem::NotANumber;
  std::int64_t count = 0;
  std::int64_t firstRecord = 0;
  // The stored bytes, empty for memos; a longer value keeps kStoredBytesKept + 1 bytes, so
  // that the cut shows.
  std::string firstStored;
};

// The values of a table that a reader did not deliver as stored, counted per field and
// problem. Each record counts once: only a record read in table order right after the last
// counted one is counted, so browsing back and forth does not count twice and a full pass
// from the first record counts them all. A record that fails to read counts nothing.
class ValueWarnings {
 public:
  // Starts the values of record n (0-based); gives whether they are counted.
  bool StartRecord(std::int64_t n) {
    counting_ = n == counted_;
    pending_.clear();
    return counting_;
  }
  // A value of the record being read; kept until FinishRecord.
  void Note(std::size_t field, ValueProblem problem, std::string_view stored);
  // A text of the field with bytes beyond ASCII that are no UTF-8: the field's text does not
  // look like UTF-8 as a whole.
  void NoteNotUtf8(std::size_t field);
  // The record read completely: its notes count.
  void FinishRecord() {
    if (!counting_) return;
    counting_ = false;
    ++counted_;
    if (!pending_.empty()) Count();
  }

  // Records 0 to CountedRecords() - 1 are counted.
  std::int64_t CountedRecords() const { return counted_; }
  // The counts in field order, then in the order of ValueProblem. A field's LooksLikeUtf8
  // count shows only when none of its texts was other than UTF-8.
  std::vector<ValueWarning> List() const;
  bool Empty() const { return List().empty(); }

  // The memo file that a table lacks, named in the MemoFileMissing warnings.
  const std::string& MissingMemoFile() const { return missingMemoFile_; }
  void SetMissingMemoFile(std::string name) { missingMemoFile_ = std::move(name); }

 private:
  struct Pending {
    std::size_t field;
    ValueProblem problem;
    std::string stored;
    bool notUtf8;
  };

  // Counts the pending notes for record counted_ (1-based).
  void Count();

  std::vector<Pending> pending_;
  std::vector<ValueWarning> counts_;
  std::vector<std::size_t> notUtf8Fields_;
  std::string missingMemoFile_;
  std::int64_t counted_ = 0;
  bool counting_ = false;
};

}  // namespace tabulix::source
