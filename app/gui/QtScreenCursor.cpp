#include "app/gui/QtScreenCursor.h"

#include <QApplication>
#include <QCursor>

namespace tabulix::app {

QtScreenCursor::~QtScreenCursor() {
  if (overridden_) QApplication::restoreOverrideCursor();
}

void QtScreenCursor::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (cursor == crDefault) {
    if (overridden_) QApplication::restoreOverrideCursor();
    overridden_ = false;
    return;
  }
  const QCursor shape(cursor == crHourGlass || cursor == crSQLWait ? Qt::WaitCursor
                                                                   : Qt::ArrowCursor);
  if (overridden_) {
    QApplication::changeOverrideCursor(shape);
  } else {
    QApplication::setOverrideCursor(shape);
    overridden_ = true;
  }
}

}  // namespace tabulix::app
