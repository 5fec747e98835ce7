#pragma once

#include <QFrame>
#include <cstdint>

#include "app/gui/DataSetModel.h"

class QScrollBar;
class QTableView;

namespace tabulix::app {

// The record grid: a table view over a DataSetModel with a scroll bar of its own that counts
// records, not pixels. The view holds only the rows in sight; scrolling, the wheel and the
// navigation keys move the model's window, so any number of records scrolls alike.
class TDBGrid : public QFrame {
 public:
  explicit TDBGrid(QWidget* parent = nullptr);

  void SetDataSet(TDataSet* dataSet);
  DataSetModel& Model() { return model_; }
  QTableView& View() { return *view_; }
  QScrollBar& ScrollBar() { return *scrollBar_; }
  // Rows wholly in sight.
  int FullRows() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateWindow();
  void ScrollBy(std::int64_t rows);
  void FitColumns();
  bool NavigationKey(int key, Qt::KeyboardModifiers modifiers);

  DataSetModel model_;
  QTableView* view_;
  QScrollBar* scrollBar_;
};

}  // namespace tabulix::app
