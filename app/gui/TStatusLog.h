#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <string_view>

#include "app/gui/LogLines.h"

namespace tabulix::app {

// The status log: a read-only list of lines in one font, without wrapping. Only the lines in
// view are painted, so adding stays cheap however long the log grows; while the view shows
// the end it follows new lines. Whole lines can be selected with the mouse (Shift extends) and
// copied with Ctrl+C or the context menu; Ctrl+A selects all.
class TStatusLog : public QAbstractScrollArea {
 public:
  explicit TStatusLog(QWidget* parent = nullptr);

  // Adds text as one line, or as several where it holds line breaks, as a memo does.
  void Add(std::string_view text);
  void Clear();
  std::size_t LineCount() const { return lines_.Size(); }
  std::string_view Line(std::size_t index) const { return lines_[index]; }

  // Brings the scroll bars up to date and paints at once, without handling any input: for
  // reports from inside a long run that does not return to the event loop.
  void Flush();

  // The selected lines, joined by line feeds; empty when none is selected.
  QString SelectedText() const;
  void SelectAll();
  void CopySelection() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void AddLine(std::string_view line);
  void ScheduleSync();
  void SyncScrollBars();
  int LineHeight() const;
  int CharWidth() const;
  int VisibleLines() const;
  // The first line in view: the end's when following, else the scroll bar's.
  std::size_t TopLine() const;
  std::size_t LineAt(int y) const;
  bool HasSelection() const { return anchor_ != kNone; }

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  LogLines lines_;
  bool following_ = true;
  bool syncScheduled_ = false;
  std::size_t anchor_ = kNone;  // selection: from anchor_ to current_, whole lines
  std::size_t current_ = kNone;
};

}  // namespace tabulix::app
