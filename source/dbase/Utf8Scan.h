#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "source/Utf8Text.h"
#include "source/dbase/DbaseColumn.h"
#include "source/dbase/MemoStore.h"

namespace tabulix::source::dbase {

// Tells whether the text of a table is UTF-8: some character, varchar or text memo value of a
// live record holds a multi-byte sequence, and every non-ASCII one forms valid UTF-8. Sees the
// records as the delete-flag scan at open reads them, so that looking costs no read of its own
// (memos aside), and stops looking at the first text that is no UTF-8. Memos that cannot be
// read are passed over; reading the records reports them.
class Utf8Scan {
 public:
  // columns: as resolved, fields read as raw bytes already marked.
  Utf8Scan(std::uint32_t recordLength, const std::vector<DbaseColumn>& columns, MemoStore& memos);

  // Whole records in file order, deleted ones included. False once the answer is no.
  bool Visit(std::string_view records);
  bool IsUtf8() const { return detector_.IsUtf8(); }

 private:
  bool VisitValue(const DbaseColumn& c, std::string_view record, std::string_view flags);

  std::uint32_t recordLength_;
  std::vector<DbaseColumn> texts_;
  std::optional<DbaseColumn> nullFlags_;
  bool memoTexts_ = false;
  bool readMemos_ = true;
  MemoStore& memos_;
  Utf8Detector detector_;
};

}  // namespace tabulix::source::dbase
