#include "app/gui/TStatusLog.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <climits>

namespace tabulix::app {

namespace {

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Up to count characters of a UTF-8 line from character column first on, with control
// characters shown as blanks.
QString Columns(std::string_view line, std::size_t first, std::size_t count) {
  std::size_t begin = 0;
  for (std::size_t skipped = 0; begin < line.size() && skipped < first; ++skipped) {
    do ++begin;
    while (begin < line.size() && IsContinuation(line[begin]));
  }
  std::size_t end = begin;
  for (std::size_t taken = 0; end < line.size() && taken < count; ++taken) {
    do ++end;
    while (end < line.size() && IsContinuation(line[end]));
  }
  QString text = QString::fromUtf8(line.data() + begin, static_cast<qsizetype>(end - begin));
  for (QChar& c : text) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
  }
  return text;
}

int Clamped(std::size_t value) {
  return static_cast<int>(std::min<std::size_t>(value, INT_MAX));
}

}  // namespace

TStatusLog::TStatusLog(QWidget* parent) : QAbstractScrollArea(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
}

void TStatusLog::Add(std::string_view text) {
  for (;;) {
    std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) break;
    AddLine(text.substr(0, end));
    std::size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    text.remove_prefix(next);
  }
  AddLine(text);
}

void TStatusLog::AddLine(std::string_view line) {
  lines_.Add(line);
  ScheduleSync();
}

void TStatusLog::Clear() {
  lines_.Clear();
  anchor_ = current_ = kNone;
  following_ = true;
  SyncScrollBars();
  viewport()->update();
}

void TStatusLog::Flush() {
  SyncScrollBars();
  viewport()->repaint();
  verticalScrollBar()->repaint();
}

void TStatusLog::ScheduleSync() {
  // Many lines may come in one go; the scroll bars follow once, and the view repaints when
  // the event loop runs again (or at once through Flush).
  if (syncScheduled_) return;
  syncScheduled_ = true;
  QTimer::singleShot(0, this, [this] { SyncScrollBars(); });
  viewport()->update();
}

void TStatusLog::SyncScrollBars() {
  syncScheduled_ = false;
  const bool follow = following_;
  const int visible = VisibleLines();
  QScrollBar* v = verticalScrollBar();
  v->setPageStep(visible);
  v->setSingleStep(1);
  v->setRange(0, Clamped(lines_.Size() > static_cast<std::size_t>(visible)
                             ? lines_.Size() - static_cast<std::size_t>(visible)
                             : 0));
  if (follow) v->setValue(v->maximum());
  following_ = follow || v->value() == v->maximum();
  const int columns = viewport()->width() / CharWidth();
  QScrollBar* h = horizontalScrollBar();
  h->setPageStep(columns);
  h->setSingleStep(1);
  h->setRange(0, Clamped(lines_.LongestLine() > static_cast<std::size_t>(columns)
                             ? lines_.LongestLine() - static_cast<std::size_t>(columns) + 1
                             : 0));
  viewport()->update();
}

int TStatusLog::LineHeight() const {
  return std::max(1, fontMetrics().lineSpacing());
}

int TStatusLog::CharWidth() const {
  return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M')));
}

int TStatusLog::VisibleLines() const {
  return std::max(1, viewport()->height() / LineHeight());
}

std::size_t TStatusLog::TopLine() const {
  const auto visible = static_cast<std::size_t>(VisibleLines());
  if (following_) return lines_.Size() > visible ? lines_.Size() - visible : 0;
  return static_cast<std::size_t>(verticalScrollBar()->value());
}

std::size_t TStatusLog::LineAt(int y) const {
  if (lines_.Size() == 0) return kNone;
  const std::size_t top = TopLine();
  if (y < 0) return top > 0 ? top - 1 : 0;
  return std::min(top + static_cast<std::size_t>(y / LineHeight()), lines_.Size() - 1);
}

void TStatusLog::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  const int lineHeight = LineHeight();
  const int ascent = fontMetrics().ascent();
  const auto firstColumn = static_cast<std::size_t>(horizontalScrollBar()->value());
  const auto columns = static_cast<std::size_t>(viewport()->width() / CharWidth() + 2);
  const std::size_t top = TopLine();
  const std::size_t end =
      std::min(lines_.Size(), top + static_cast<std::size_t>(VisibleLines()) + 1);
  const std::size_t selectionFirst = std::min(anchor_, current_);
  const std::size_t selectionLast = HasSelection() ? std::max(anchor_, current_) : kNone;
  const QPalette& colours = palette();
  for (std::size_t i = top; i < end; ++i) {
    const int y = static_cast<int>(i - top) * lineHeight;
    const bool selected = HasSelection() && i >= selectionFirst && i <= selectionLast;
    if (selected) {
      painter.fillRect(0, y, viewport()->width(), lineHeight, colours.highlight());
      painter.setPen(colours.highlightedText().color());
    } else {
      painter.setPen(colours.text().color());
    }
    painter.drawText(2, y + ascent, Columns(lines_[i], firstColumn, columns));
  }
}

void TStatusLog::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  SyncScrollBars();
}

void TStatusLog::scrollContentsBy(int /*dx*/, int /*dy*/) {
  following_ = verticalScrollBar()->value() == verticalScrollBar()->maximum();
  viewport()->update();
}

void TStatusLog::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  const std::size_t line = LineAt(event->position().toPoint().y());
  if (line == kNone) return;
  if (!(event->modifiers() & Qt::ShiftModifier) || !HasSelection()) anchor_ = line;
  current_ = line;
  viewport()->update();
}

void TStatusLog::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !HasSelection()) return;
  const int y = event->position().toPoint().y();
  // Dragging past an edge scrolls a line at a time.
  if (y < 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  if (y >= viewport()->height())
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  current_ = LineAt(std::min(y, viewport()->height() - 1));
  viewport()->update();
}

void TStatusLog::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) return CopySelection();
  if (event->matches(QKeySequence::SelectAll)) return SelectAll();
  if (event->matches(QKeySequence::MoveToStartOfDocument)) {
    return verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
  }
  if (event->matches(QKeySequence::MoveToEndOfDocument)) {
    return verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void TStatusLog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("&Kopieren"), [this] { CopySelection(); });
  copy->setEnabled(HasSelection());
  menu.addAction(QStringLiteral("Alles &markieren"), [this] { SelectAll(); })
      ->setEnabled(lines_.Size() > 0);
  menu.exec(event->globalPos());
}

void TStatusLog::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) SyncScrollBars();
}

QString TStatusLog::SelectedText() const {
  if (!HasSelection()) return {};
  QString text;
  const std::size_t last = std::max(anchor_, current_);
  for (std::size_t i = std::min(anchor_, current_); i <= last; ++i) {
    std::string_view line = lines_[i];
    text += QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    if (i != last) text += QLatin1Char('\n');
  }
  return text;
}

void TStatusLog::SelectAll() {
  if (lines_.Size() == 0) return;
  anchor_ = 0;
  current_ = lines_.Size() - 1;
  viewport()->update();
}

void TStatusLog::CopySelection() const {
  if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

}  // namespace tabulix::app
