#pragma once

#include "framework/fields/TBlobField.h"

namespace tabulix {

// Picture blob.
class TGraphicField : public TBlobField {
 public:
  TGraphicField() : TBlobField(ftGraphic) {}

 protected:
  const char* EmptyTag() const override { return "(Graphic)"; }
  const char* ContentTag() const override { return "(GRAPHIC)"; }
};

}  // namespace tabulix
