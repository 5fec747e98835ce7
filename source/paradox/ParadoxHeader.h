#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "source/ReadOnlyFile.h"
#include "source/paradox/ParadoxFieldType.h"

namespace tabulix::source::paradox {

// One field as the table header describes it.
struct ParadoxField {
  std::string rawName;  // in the table's code page
  const ParadoxFieldType* type = nullptr;
  int sizeByte = 0;  // the descriptor's size byte (the scale for BCD)
  int size = 0;      // bytes in the record
  int offset = 0;    // from the start of the record
};

// What the reader needs of a Paradox .db header (all versions 3.0 to 7.x).
struct ParadoxHeader {
  int versionId = 0;  // 3 = 3.0, 4 = 3.5, 5-9 = 4.x, 10-11 = 5.x, 12 = 7.x
  int fileType = 0;   // 0 keyed, 2 unkeyed
  int recordSize = 0;
  int headerSize = 0;
  int blockSize = 0;
  std::uint32_t recordCount = 0;
  std::uint16_t firstBlock = 0;
  int keyFieldCount = 0;
  std::uint32_t encryptionKey = 0;  // 0 when the table is not encrypted
  int codePage = 0;                 // 0 when the header names none (3.x)
  std::string sortOrder;            // collation name, 4.x and later
  std::vector<ParadoxField> fields;
};

// Reads and checks the header. Raises tabulix::Exception naming the file for anything that is
// not a readable Paradox data table.
ParadoxHeader ReadParadoxHeader(const ReadOnlyFile& file);

}  // namespace tabulix::source::paradox
