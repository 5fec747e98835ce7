#pragma once

#include <vector>

#include "source/ReadOnlyFile.h"
#include "source/paradox/BlobFile.h"
#include "source/paradox/BlockIndex.h"
#include "source/paradox/ParadoxHeader.h"

namespace tabulix::source::paradox {

// Whether the text of a table is UTF-8: some alpha or memo value holds a multi-byte sequence,
// and every non-ASCII one forms valid UTF-8. Reads the records in table order and stops at
// the first text that is no UTF-8; fields marked in `binary` are left out. Memos that cannot
// be fetched are passed over; reading the records reports them.
bool TextIsUtf8(const ReadOnlyFile& file, const ParadoxHeader& header, const BlockIndex& index,
                BlobFile& blobs, const std::vector<bool>& binary);

}  // namespace tabulix::source::paradox
