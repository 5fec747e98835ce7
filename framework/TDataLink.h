#pragma once

#include <cstdint>

namespace tabulix {

class TDataSet;
class TField;

// An observer of a dataset, such as a grid that follows it. The dataset calls the hooks
// synchronously; a link detaches itself when destroyed, and a destroyed dataset leaves its
// links without dataset.
class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  // True while the dataset is open.
  bool Active() const;

 protected:
  friend class TDataSet;
  // Opened or closed.
  virtual void ActiveChanged() {}
  // Records or their values changed as a whole: open, post, cancel, delete, resync.
  virtual void DataSetChanged() {}
  // The cursor moved by distance records (negative: backwards).
  virtual void DataSetScrolled(std::int64_t /*distance*/) {}
  // A field of the active record changed; nullptr when the whole record did.
  virtual void RecordChanged(TField* /*field*/) {}
  // The dataset entered or left edit or insert state.
  virtual void EditingChanged() {}
  // Asked before a post: write edits the link holds back into the fields.
  virtual void UpdateData() {}

 private:
  TDataSet* dataSet_ = nullptr;
};

}  // namespace tabulix
