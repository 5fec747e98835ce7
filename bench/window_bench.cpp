// Figures for the window's two long views, under Qt's offscreen platform: appending a million
// lines to the status log, and a table of ten million records in the record grid (load,
// scrolling, memory). For comparison, the same with Qt's plain text edit and with a table view
// that is given every row. Prints one line per figure.
#include <QAbstractTableModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/gui/FileOpenDialog.h"
#include "app/gui/MessageBoxes.h"
#include "app/gui/TDBGrid.h"
#include "app/gui/TMainWin.h"
#include "app/gui/TStatusLog.h"
#include "tests/source/ParadoxTestTable.h"

namespace {

using namespace tabulix::app;

long RssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

std::string Statement(long i) {
  return "INSERT INTO orders (ID,Name,Notes,Amount) VALUES (" + std::to_string(i) +
         ",'M\xC3\xBCller & S\xC3\xB6hne GmbH','Lieferung \xC3\xBC"
         "ber Hamburg',1234.56)";
}

struct NoDialog final : FileOpenDialog {
  std::optional<std::string> Execute(const std::string&) override { return std::nullopt; }
};
struct PrintedMessages final : MessageBoxes {
  void ShowError(const std::string& message) override {
    std::fprintf(stderr, "error: %s\n", message.c_str());
  }
};

void StatusLog(long lines) {
  TStatusLog log;
  log.resize(385, 115);
  log.show();
  QApplication::processEvents();
  const long before = RssKb();
  QElapsedTimer timer;
  timer.start();
  for (long i = 0; i < lines; i += 2) {
    log.Add("SQL>" + Statement(i));
    log.Add("SQL>[OK.]");
  }
  const double addMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  timer.restart();
  log.Flush();
  const double flushMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  std::printf(
      "status log: %ld lines added in %.0f ms (%.3f us a line), %.1f bytes a line "
      "with its text; flush and paint at the end %.1f ms\n",
      lines, addMs, addMs * 1000 / static_cast<double>(lines),
      static_cast<double>(RssKb() - before) * 1024 / static_cast<double>(lines), flushMs);
}

void PlainTextEdit(long lines) {
  QPlainTextEdit edit;
  edit.setReadOnly(true);
  edit.resize(385, 115);
  edit.show();
  QApplication::processEvents();
  const long before = RssKb();
  QElapsedTimer timer;
  timer.start();
  for (long i = 0; i < lines; i += 2) {
    edit.appendPlainText(QString::fromStdString("SQL>" + Statement(i)));
    edit.appendPlainText(QStringLiteral("SQL>[OK.]"));
  }
  QApplication::processEvents();
  const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  std::printf(
      "  for comparison, QPlainTextEdit: %ld lines in %.0f ms (%.1f us a line), %.1f bytes "
      "a line\n",
      lines, ms, ms * 1000 / static_cast<double>(lines),
      static_cast<double>(RssKb() - before) * 1024 / static_cast<double>(lines));
}

void RecordGrid(const std::string& path, std::int64_t rows) {
  tabulix::test::paradox::WriteSparseNumberTable(path, rows, {0, rows / 2, rows - 1});
  NoDialog dialog;
  PrintedMessages messages;
  const std::string settings = path + ".ini";
  const long before = RssKb();
  TMainWin win({&dialog, &messages, settings, ""});
  win.show();
  QApplication::processEvents();
  const long windowKb = RssKb() - before;
  QElapsedTimer timer;
  timer.start();
  win.LoadFile(path);
  win.DBGrid->View().viewport()->repaint();
  const double loadMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  const long loadedKb = RssKb() - before - windowKb;
  std::mt19937_64 random(42);
  QScrollBar& bar = win.DBGrid->ScrollBar();
  const int jumps = 2000;
  timer.restart();
  for (int i = 0; i < jumps; ++i) {
    bar.setValue(static_cast<int>(random() % static_cast<std::uint64_t>(bar.maximum() + 1)));
    win.DBGrid->View().viewport()->repaint();
  }
  const double jumpMs = static_cast<double>(timer.nsecsElapsed()) / 1e6 / jumps;
  timer.restart();
  bar.setValue(0);
  for (int i = 0; i < jumps; ++i) {
    bar.setValue(bar.value() + 1);
    win.DBGrid->View().viewport()->repaint();
  }
  const double stepMs = static_cast<double>(timer.nsecsElapsed()) / 1e6 / jumps;
  std::printf(
      "record grid, %lld records: load and first paint %.1f ms, memory +%ld kB for the "
      "table; a jump to a random record with repaint %.2f ms, a step of one record %.2f "
      "ms; memory after scrolling +%ld kB\n",
      static_cast<long long>(rows), loadMs, loadedKb, jumpMs, stepMs, RssKb() - before - windowKb);
  std::filesystem::remove(path);
  std::filesystem::remove(settings);
}

struct Rows final : QAbstractTableModel {
  explicit Rows(int n) : n_(n) {}
  int rowCount(const QModelIndex&) const override { return n_; }
  int columnCount(const QModelIndex&) const override { return 1; }
  QVariant data(const QModelIndex& index, int role) const override {
    return role == Qt::DisplayRole ? QVariant(index.row()) : QVariant();
  }
  int n_;
};

void PlainTableView(int rows) {
  QTableView view;
  view.resize(565, 438);
  view.show();
  QApplication::processEvents();
  const long before = RssKb();
  QElapsedTimer timer;
  timer.start();
  Rows model(rows);
  view.setModel(&model);
  QApplication::processEvents();
  std::printf("  for comparison, QTableView given all %d rows: %.0f ms, memory +%ld kB\n", rows,
              static_cast<double>(timer.nsecsElapsed()) / 1e6, RssKb() - before);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  StatusLog(1'000'000);
  PlainTextEdit(100'000);
  RecordGrid(folder + "/grid-1m.db", 1'000'000);
  RecordGrid(folder + "/grid-10m.db", 10'000'000);
  PlainTableView(10'000'000);
  return 0;
}
