#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/FieldValue.h"
#include "source/CodePageDecoder.h"
#include "source/ValueWarnings.h"
#include "source/paradox/BlobFile.h"
#include "source/paradox/ParadoxHeader.h"

namespace tabulix::source::paradox {

// Turns the bytes of one field of a record into its FieldValue: text decoded to UTF-8, numbers,
// dates and times as their kinds, blob values fetched from the .mb when they do not fit in the
// record. Raises tabulix::Exception (with the .mb's name) for blob values it cannot fetch and
// for stored values no field can hold; values that only read as null or with U+FFFD are noted
// in the warnings.
class FieldDecoder {
 public:
  FieldDecoder(CodePageDecoder& text, BlobFile& blobs, ValueWarnings& warnings)
      : text_(text), blobs_(blobs), warnings_(warnings) {}

  // Alpha and memo fields whose stored bytes are delivered undecoded, by field index.
  void SetBinary(std::vector<bool> binary) { binary_ = std::move(binary); }
  // Blob values in a missing .mb read as null instead of failing.
  void SetWithoutBlobFile(bool on) { withoutBlobFile_ = on; }

  // index: the field's position, for the warnings.
  FieldValue Decode(std::size_t index, const ParadoxField& field, const std::uint8_t* record);

 private:
  FieldValue DecodeBlob(std::size_t index, const ParadoxField& field, const std::uint8_t* data);
  FieldValue Text(std::size_t index, std::string_view bytes);
  bool Binary(std::size_t index) const { return index < binary_.size() && binary_[index]; }

  CodePageDecoder& text_;
  BlobFile& blobs_;
  ValueWarnings& warnings_;
  std::vector<bool> binary_;
  bool withoutBlobFile_ = false;
};

}  // namespace tabulix::source::paradox
