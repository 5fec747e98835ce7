#include "framework/TDataLink.h"

#include "framework/TDataSet.h"

namespace tabulix {

TDataLink::~TDataLink() {
  SetDataSet(nullptr);
}

void TDataLink::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) dataSet_->RemoveLink(this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->AddLink(this);
}

bool TDataLink::Active() const {
  return dataSet_ && dataSet_->Active();
}

}  // namespace tabulix
