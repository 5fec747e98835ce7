#pragma once

#include "framework/fields/TBlobField.h"

namespace tabulix {

// Text blob.
class TMemoField : public TBlobField {
 public:
  TMemoField() : TBlobField(ftMemo) {}

 protected:
  const char* EmptyTag() const override { return "(Memo)"; }
  const char* ContentTag() const override { return "(MEMO)"; }
};

}  // namespace tabulix
