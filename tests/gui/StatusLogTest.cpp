// The status log: lines as a memo makes them, packed storage across chunk boundaries, the view
// following the end, and selecting and copying.
#include "app/gui/TStatusLog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>

#include "app/gui/LogLines.h"

namespace tabulix::app {
namespace {

std::vector<std::string> Lines(const TStatusLog& log) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < log.LineCount(); ++i) lines.emplace_back(log.Line(i));
  return lines;
}

TEST(StatusLogTest, LineBreaksMakeLinesAsInAMemo) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"SQL>[OK.]", {"SQL>[OK.]"}},
      {"", {""}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"ends with a break\n", {"ends with a break", ""}},
      {"tab\tand umlauts \xC3\xA4\xC3\xB6", {"tab\tand umlauts \xC3\xA4\xC3\xB6"}},
  };
  TStatusLog log;
  for (const Case& c : cases) {
    log.Clear();
    log.Add(c.text);
    EXPECT_EQ(Lines(log), c.lines) << c.text;
  }
}

TEST(StatusLogTest, PackedLinesSurviveChunkBoundaries) {
  LogLines lines;
  std::vector<std::string> added;
  // Lines of growing length run over several 1 MB chunks; one is longer than a chunk.
  for (int i = 0; i < 3000; ++i) {
    added.push_back(
        std::string(static_cast<std::size_t>(i % 1000), static_cast<char>('a' + i % 26)) +
        std::to_string(i));
  }
  added[1500] = std::string(3 << 20, 'L');
  for (const std::string& line : added) lines.Add(line);
  ASSERT_EQ(lines.Size(), added.size());
  for (std::size_t i = 0; i < added.size(); ++i) ASSERT_EQ(lines[i], added[i]) << i;
  EXPECT_EQ(lines.LongestLine(), std::size_t{3} << 20);
  lines.Clear();
  EXPECT_EQ(lines.Size(), 0u);
  lines.Add("after clear");
  EXPECT_EQ(lines[0], "after clear");
}

TEST(StatusLogTest, FollowsTheEndUnlessScrolledAwayAndCopiesWholeLines) {
  TStatusLog log;
  log.resize(385, 115);
  log.show();
  for (int i = 0; i < 200; ++i) log.Add("SQL>INSERT INTO t VALUES (" + std::to_string(i) + ")");
  log.Flush();
  QScrollBar* bar = log.verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->setValue(10);
  log.Add("more");
  log.Flush();
  EXPECT_EQ(bar->value(), 10);  // scrolled away: stays
  bar->setValue(bar->maximum());
  log.Add("and more");
  log.Flush();
  EXPECT_EQ(bar->value(), bar->maximum());

  EXPECT_EQ(log.SelectedText(), "");
  log.SelectAll();
  EXPECT_TRUE(log.SelectedText().startsWith("SQL>INSERT INTO t VALUES (0)\nSQL>INSERT"));
  EXPECT_TRUE(log.SelectedText().endsWith("\nmore\nand more"));
  log.CopySelection();
  EXPECT_EQ(QApplication::clipboard()->text(), log.SelectedText());
  log.Clear();
  EXPECT_EQ(log.SelectedText(), "");
  EXPECT_EQ(bar->maximum(), 0);
}

}  // namespace
}  // namespace tabulix::app
