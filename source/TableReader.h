#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/FieldType.h"
#include "framework/FieldValue.h"
#include "source/ValueWarnings.h"

namespace tabulix::source {

// One field of a table file as the reader understands it.
struct SourceFieldDef {
  std::string name;             // UTF-8
  TFieldType type = ftUnknown;  // the shared field type the reader maps it to
  int size = 0;                 // declared width: characters for strings, bytes for bytes/BCD
  int decimals = 0;             // digits after the point where the format has them
  bool required = false;
  char nativeType = 0;  // the format's own type letter or code, for diagnostics
};

// Options a caller can give when opening a table file.
struct ReaderOptions {
  // iconv name of the code page to decode text with; empty means "as the file says".
  std::string encoding;
  // Character and memo fields (by name, ASCII letters in any case) whose stored bytes are
  // delivered as they stand, undecoded, as ftBlob fields. Naming another kind of field, or
  // one the table lacks, fails the open.
  std::vector<std::string> binaryFields{};
  // When the memo or blob file is missing, memo values that live in it read as null and
  // count as MemoFileMissing warnings; without this their first read fails.
  bool withoutMemos = false;
};

// Where the code page of a table's text came from.
enum class EncodingOrigin {
  Header,    // the table's header names it (dBase language driver, Paradox code page)
  CpgFile,   // a .cpg file beside a dBase table
  Detected,  // nothing declared, and every non-ASCII text forms UTF-8
  Default,   // nothing declared: code page 437
  Option,    // ReaderOptions::encoding
};

// Read access to one table file, by record number, without loading the table into memory.
// Every failure (foreign, damaged or truncated file, missing memo file when a memo is read)
// raises tabulix::Exception with a message that names the file and the problem. A value that
// cannot be taken as stored but leaves the record readable (a number that is no number,
// undefined text bytes, ...) is delivered as null or with U+FFFD and counted in Warnings().
class TableReader {
 public:
  virtual ~TableReader() = default;

  virtual const std::vector<SourceFieldDef>& Fields() const = 0;
  // Records the table holds and shows (dBase: records not marked deleted).
  virtual std::int64_t RecordCount() const = 0;
  // Values of record n (0-based, in table order), one per field, FieldValue::Null() for an
  // empty field. Strings and memos are UTF-8 bytes; binary values are the raw bytes.
  virtual void ReadRecord(std::int64_t n, std::vector<FieldValue>& values) = 0;
  // The code page the text is decoded from, as an iconv name.
  virtual std::string Encoding() const = 0;
  virtual EncodingOrigin EncodingSource() const { return EncodingOrigin::Default; }

  // The values the records read so far (in table order) did not deliver as stored.
  const ValueWarnings& Warnings() const { return warnings_; }

 protected:
  ValueWarnings warnings_;
};

// Opens a table file, choosing the format by its extension (.db Paradox, .dbf dBase,
// either letter case). Raises tabulix::Exception for other extensions.
std::unique_ptr<TableReader> OpenTableReader(const std::string& path,
                                             const ReaderOptions& options = {});

}  // namespace tabulix::source
