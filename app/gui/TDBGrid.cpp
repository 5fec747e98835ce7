#include "app/gui/TDBGrid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>
#include <algorithm>
#include <climits>

#include "framework/TDataSet.h"
#include "framework/TField.h"

namespace tabulix::app {

namespace {

// Characters a column shows by default, like a grid's display width of the field.
int DisplayChars(const TField& field) {
  switch (field.DataType()) {
    case ftString:
      return std::clamp(field.Size(), 4, 30);
    case ftBoolean:
      return 5;
    case ftDate:
    case ftTime:
      return 10;
    case ftDateTime:
      return 19;
    case ftSmallint:
    case ftWord:
      return 6;
    default:
      return 11;
  }
}

}  // namespace

TDBGrid::TDBGrid(QWidget* parent)
    : QFrame(parent), view_(new QTableView(this)), scrollBar_(new QScrollBar(Qt::Vertical, this)) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(frameWidth(), frameWidth(), frameWidth(), frameWidth());
  layout->setSpacing(0);
  layout->addWidget(view_);
  layout->addWidget(scrollBar_);

  view_->setFrameShape(QFrame::NoFrame);
  view_->setModel(&model_);
  view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setWordWrap(false);
  view_->setAlternatingRowColors(true);
  QHeaderView* rows = view_->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(view_->fontMetrics().height() + 5);
  rows->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
  view_->horizontalHeader()->setHighlightSections(false);
  view_->installEventFilter(this);
  view_->viewport()->installEventFilter(this);

  // The view's own vertical offset stays 0: the window of the model does the scrolling. A
  // click on the partly visible last row or a drag would otherwise shift the rows by a line.
  QScrollBar* own = view_->verticalScrollBar();
  connect(own, &QScrollBar::valueChanged, this, [own](int value) {
    if (value != 0) own->setValue(0);
  });

  scrollBar_->setRange(0, 0);
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int) { UpdateWindow(); });
  connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
    FitColumns();
    UpdateWindow();
  });
}

void TDBGrid::SetDataSet(TDataSet* dataSet) {
  model_.SetDataSet(dataSet);
}

int TDBGrid::FullRows() const {
  return std::max(1, view_->viewport()->height() / view_->verticalHeader()->defaultSectionSize());
}

void TDBGrid::UpdateWindow() {
  const int full = FullRows();
  const std::int64_t maxTop = model_.MaxTop(full);
  const QSignalBlocker quiet(scrollBar_);
  scrollBar_->setRange(0, static_cast<int>(std::min<std::int64_t>(maxTop, INT_MAX)));
  scrollBar_->setPageStep(full);
  scrollBar_->setSingleStep(1);
  // One row more than fit wholly, so that a partly visible last row is painted too.
  model_.SetWindow(scrollBar_->value(), full + 1);
}

void TDBGrid::ScrollBy(std::int64_t rows) {
  const std::int64_t value =
      std::clamp<std::int64_t>(scrollBar_->value() + rows, 0, scrollBar_->maximum());
  scrollBar_->setValue(static_cast<int>(value));
}

void TDBGrid::FitColumns() {
  TDataSet* dataSet = model_.DataSet();
  if (!dataSet || !dataSet->Active()) return;
  const QFontMetrics metrics = view_->fontMetrics();
  const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
  for (int c = 0; c < model_.columnCount(); ++c) {
    const TField& field = dataSet->Fields(c);
    const int header = view_->horizontalHeader()->fontMetrics().horizontalAdvance(
                           model_.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) +
                       16;
    view_->setColumnWidth(c, std::max(header, DisplayChars(field) * digit + 8));
  }
}

void TDBGrid::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  UpdateWindow();
}

bool TDBGrid::NavigationKey(int key, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = view_->currentIndex();
  const int row = current.isValid() ? current.row() : 0;
  const int column = current.isValid() ? current.column() : 0;
  const int full = FullRows();
  auto place = [&](int r) {
    r = std::clamp(r, 0, std::max(0, model_.rowCount() - 1));
    view_->setCurrentIndex(model_.index(r, column));
  };
  switch (key) {
    case Qt::Key_Down:
      if (row < full - 1 || scrollBar_->value() >= scrollBar_->maximum()) return false;
      ScrollBy(1);
      place(row);
      return true;
    case Qt::Key_Up:
      if (row > 0 || scrollBar_->value() == 0) return false;
      ScrollBy(-1);
      place(row);
      return true;
    case Qt::Key_PageDown:
      ScrollBy(full);
      place(scrollBar_->value() >= scrollBar_->maximum() ? model_.rowCount() - 1 : row);
      return true;
    case Qt::Key_PageUp:
      ScrollBy(-full);
      place(scrollBar_->value() == 0 ? 0 : row);
      return true;
    case Qt::Key_Home:
    case Qt::Key_End:
      if (!(modifiers & Qt::ControlModifier)) return false;
      scrollBar_->setValue(key == Qt::Key_Home ? 0 : scrollBar_->maximum());
      place(key == Qt::Key_Home ? 0 : model_.rowCount() - 1);
      return true;
    default:
      return false;
  }
}

bool TDBGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (NavigationKey(key->key(), key->modifiers())) return true;
  }
  if (watched == view_->viewport() && event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int steps = wheel->angleDelta().y() / 40;  // three rows a notch
    if (steps != 0) {
      ScrollBy(-steps);
      return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace tabulix::app
