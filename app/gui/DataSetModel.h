#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <vector>

#include "framework/TDataLink.h"

namespace tabulix::app {

// A table model over a framework dataset, following it through a data link. It holds only a
// window of records (from Top(), as many as a view shows) and reads their display texts on
// demand through the dataset's cursor, so opening a table of millions of records costs
// nothing and memory does not grow with the record count; a view moves the window to scroll.
// Reading leaves the dataset's cursor where it was, Bof and Eof included, and happens only
// while the dataset browses with its controls enabled, so an edit or a run that moves the
// cursor with controls disabled is never disturbed.
class DataSetModel : public QAbstractTableModel, private TDataLink {
 public:
  explicit DataSetModel(QObject* parent = nullptr);

  TDataSet* DataSet() const { return TDataLink::DataSet(); }
  void SetDataSet(TDataSet* dataSet);

  // All records of the dataset, as last counted; 0 while it is closed.
  std::int64_t RecordCount() const { return recordCount_; }
  std::int64_t Top() const { return top_; }
  int WindowSize() const { return windowSize_; }
  // Shows records from top (0-based, clamped), at most rows of them.
  void SetWindow(std::int64_t top, int rows);
  // The greatest top that still fills a window of rows.
  std::int64_t MaxTop(int rows) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  struct Row {
    bool loaded = false;
    std::vector<QString> cells;
    std::vector<bool> failed;  // the cell holds the message of a failed read
  };

  // TDataLink
  void ActiveChanged() override { Reset(); }
  void DataSetChanged() override { Reset(); }
  void RecordChanged(TField* field) override;

  void Reset();
  bool CanRead() const;
  // Reads every row of the window that is not loaded yet, in one pass of the cursor.
  void LoadWindow() const;
  void ReadRow(std::int64_t record, Row& row) const;

  std::int64_t recordCount_ = 0;
  int columns_ = 0;
  std::int64_t top_ = 0;
  int windowSize_ = 0;
  mutable std::vector<Row> rows_;  // the window's rows, rows_[i] is record top_ + i
  mutable bool reading_ = false;
};

}  // namespace tabulix::app
