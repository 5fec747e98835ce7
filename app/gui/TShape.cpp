#include "app/gui/TShape.h"

#include <QPainter>
#include <algorithm>

namespace tabulix::app {

void TShape::SetBrushColor(const QColor& colour) {
  if (colour == brush_) return;
  brush_ = colour;
  update();
}

void TShape::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(brush_);
  const int diameter = std::min(width(), height()) - 1;
  painter.drawEllipse(
      QRectF((width() - diameter) / 2.0, (height() - diameter) / 2.0, diameter, diameter));
}

}  // namespace tabulix::app
