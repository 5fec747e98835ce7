#pragma once

#include <cstdint>

namespace tabulix {

// What a dataset is doing: closed, browsing records, editing the current record, or
// holding a new record that has not been posted yet.
enum TDataSetState : std::uint8_t { dsInactive, dsBrowse, dsEdit, dsInsert };

}  // namespace tabulix
