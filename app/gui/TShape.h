#pragma once

#include <QColor>
#include <QWidget>

namespace tabulix::app {

// A filled circle with a black outline, centred in the widget: the connection indicator.
class TShape : public QWidget {
 public:
  explicit TShape(QWidget* parent = nullptr) : QWidget(parent) {}

  QColor BrushColor() const { return brush_; }
  void SetBrushColor(const QColor& colour);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor brush_ = Qt::white;
};

}  // namespace tabulix::app
