#pragma once

#include <cstdint>
#include <string>

#include "framework/FieldValue.h"
#include "source/CodePageDecoder.h"
#include "source/paradox/BlobFile.h"
#include "source/paradox/ParadoxHeader.h"

namespace tabulix::source::paradox {

// Turns the bytes of one field of a record into its FieldValue: text decoded to UTF-8, numbers,
// dates and times as their kinds, blob values fetched from the .mb when they do not fit in the
// record. Raises tabulix::Exception (with the .mb's name) for blob values it cannot fetch and
// for stored values no field can hold.
class FieldDecoder {
 public:
  FieldDecoder(CodePageDecoder& text, BlobFile& blobs) : text_(text), blobs_(blobs) {}

  FieldValue Decode(const ParadoxField& field, const std::uint8_t* record);

 private:
  FieldValue DecodeBlob(const ParadoxField& field, const std::uint8_t* data);

  CodePageDecoder& text_;
  BlobFile& blobs_;
};

}  // namespace tabulix::source::paradox
