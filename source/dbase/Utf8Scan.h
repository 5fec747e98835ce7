#pragma once

#include <vector>

#include "source/ReadOnlyFile.h"
#include "source/dbase/DbaseColumn.h"
#include "source/dbase/DbaseHeader.h"
#include "source/dbase/MemoStore.h"

namespace tabulix::source::dbase {

// Whether the text of a table is UTF-8: some character, varchar or text memo value of a live
// record holds a multi-byte sequence, and every non-ASCII one forms valid UTF-8. Reads the
// records in order and stops at the first text that is no UTF-8. Memos that cannot be read
// are passed over; reading the records reports them.
bool TextIsUtf8(const ReadOnlyFile& file, const DbaseHeader& header,
                const std::vector<DbaseColumn>& columns, MemoStore& memos);

}  // namespace tabulix::source::dbase
