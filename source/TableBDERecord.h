#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "framework/RecordAccess.h"

namespace tabulix::source {

// The source table's current record: the values one read of the table file gave, one per
// field. It is read-only.
class TableBDERecord : public RecordAccess {
 public:
  std::vector<FieldValue>& Values() { return values_; }

  bool IsNull(int index) const override { return values_[Slot(index)].IsNullOrEmpty(); }
  FieldValue Read(int index) const override;
  void Write(int index, const FieldValue& value) override;
  std::string_view BlobBytes(int index) const override;
  void WriteBlob(int index, std::string_view bytes) override;
  const FieldValue* Peek(int index) const override { return &values_[Slot(index)]; }

 private:
  std::size_t Slot(int index) const {
    // Compared in bytes, which spares dividing by the size of a value.
    auto bytes =
        static_cast<std::size_t>(reinterpret_cast<const char*>(std::to_address(values_.end())) -
                                 reinterpret_cast<const char*>(values_.data()));
    if (index < 0 || static_cast<std::size_t>(index) * sizeof(FieldValue) >= bytes) {
      BadIndex(index);
    }
    return static_cast<std::size_t>(index);
  }
  [[noreturn]] static void BadIndex(int index);
  std::vector<FieldValue> values_;
};

}  // namespace tabulix::source
