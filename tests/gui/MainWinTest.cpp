// The main window under Qt's offscreen platform: its design at start, loads of real sample
// tables through a file dialog the test answers (field grid, labels, log, settings), a
// cancelled dialog, a file that cannot be opened, a table of ten million records in the record
// grid, the indicator and the message loop's report.
#include "app/gui/TMainWin.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <array>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/core/Settings.h"
#include "app/core/FileOpenDialog.h"
#include "app/core/MessageBoxes.h"
#include "app/gui/TDBGrid.h"
#include "app/gui/TShape.h"
#include "app/gui/TStatusLog.h"
#include "framework/Exceptions.h"
#include "support/Json.h"
#include "support/TestData.h"
#include "tests/source/ParadoxTestTable.h"

namespace tabulix::app {
namespace {

namespace fs = std::filesystem;

class FakeOpenDialog final : public FileOpenDialog {
 public:
  std::optional<std::string> Execute(const std::string& initialFolder) override {
    initialFolders.push_back(initialFolder);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> initialFolders;
};

class FakeMessageBoxes final : public MessageBoxes {
 public:
  void ShowError(const std::string& message) override { shown.push_back(message); }
  std::vector<std::string> shown;
};

class MainWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settingsFile = test::TempDir() + "/main-win.ini";
    fs::remove(settingsFile);
  }
  std::unique_ptr<TMainWin> Create() {
    return std::make_unique<TMainWin>(
        TMainWin::Services{&dialog, &messages, settingsFile, TABULIX_WINDOW});
  }
  // Loads path through the dialog, as the load button does.
  void Load(TMainWin& win, std::optional<std::string> path) {
    dialog.answers.push_back(std::move(path));
    win.Guarded([&] { win.ToolButtonLoadSourceDBClick(); });
  }

  FakeOpenDialog dialog;
  FakeMessageBoxes messages;
  std::string settingsFile;
};

std::string Cell(const QTableWidget& grid, int row, int column) {
  const QTableWidgetItem* item = grid.item(row, column);
  return item ? item->text().toStdString() : std::string();
}

std::string Text(const QLabel* label) {
  return label->text().toStdString();
}

// What the field grid must show for a sample's field, from the sample's own description.
std::vector<std::string> ExpectedRow(const test::Json& field) {
  static const std::map<std::string, std::pair<std::string, std::string>> kTypes = {
      {"alpha", {"char", ""}},
      {"autoinc", {"autoincr", "int not null auto_increment"}},
      {"memo", {"memo", "mediumtext"}},
      {"date", {"date", "date"}},
      {"long", {"32Bit-Int", "int"}},
      {"short", {"16Bit-Int", "smallint"}},
      {"logical", {"bool", "bool"}},
      {"time", {"time", "time(3)"}},
      {"timestamp", {"datetime", "datetime(3)"}},
      {"graphic", {"graphic", "longblob"}},
  };
  const auto& [type, column] = kTypes.at(field["type_name"].text);
  const bool alpha = type == "char";
  const std::string length = alpha ? field["size"].text : "";
  return {field["name"].text, type, length, alpha ? "char(" + length + ")" : column,
          type == "autoincr" ? "KEY" : ""};
}

TEST_F(MainWinTest, StartsWithItsDesign) {
  Settings(settingsFile).SetLastDBdir("/tables/2001/");
  auto win = Create();
  EXPECT_EQ(win->objectName(), "MainWin");
  EXPECT_EQ(win->size(), QSize(900, 650));
  EXPECT_EQ(Text(win->ProgVersion), "Tabulix V 1.0.0.0");
  EXPECT_EQ(win->LastSourceFolder(), "/tables/2001/");
  EXPECT_EQ(win->LEDconnect->BrushColor(), QColor(255, 0, 0));
  EXPECT_EQ(Text(win->LabelBDEdb), "BDE-Database");
  EXPECT_EQ(Text(win->LabelDSzahl), "0");
  EXPECT_EQ(Text(win->LabelFDzahl), "0");
  EXPECT_EQ(win->EditMySQLhost->text(), "localhost");
  EXPECT_EQ(win->EditMySQLdb->text(), "");
  EXPECT_EQ(win->EditMySQLtable->text(), "");
  EXPECT_EQ(win->ToolButtonLoadSourceDB->toolTip(), "Quelldatei auswählen...");
  EXPECT_EQ(win->ToolButtonImport2MySQL->toolTip(), "");
  ASSERT_EQ(win->ImageList1.size(), 2u);
  for (const QPixmap& image : win->ImageList1) EXPECT_EQ(image.size(), QSize(50, 32));
  EXPECT_EQ(win->Image1->pixmap().size(), QSize(167, 87));
  EXPECT_EQ(win->LabelBDEdb->palette().color(QPalette::WindowText), QColor(128, 0, 0));
  EXPECT_EQ(win->LabelDSzahl->palette().color(QPalette::WindowText), QColor(128, 0, 64));
  EXPECT_EQ(win->MemoStatus->font().pixelSize(), 13);
  EXPECT_EQ(win->ProgVersion->font().pixelSize(), 16);

  // The sizes of the design at 96 dots per inch, as the layout makes them.
  win->show();
  QApplication::processEvents();
  const std::vector<std::pair<const char*, QSize>> sizes = {
      {"ToolBar", {900, 61}},
      {"Panel1", {325, 589}},
      {"DBGrid", {565, 438}},
      {"MemoStatus", {385, 115}},
      {"LEDconnect", {19, 15}},
      {"Image1", {167, 87}},
      {"ToolButtonLoadSourceDB", {60, 45}},
  };
  for (const auto& [name, size] : sizes) {
    auto* widget = win->findChild<QWidget*>(name);
    ASSERT_NE(widget, nullptr) << name;
    EXPECT_EQ(widget->size(), size) << name;
  }
  EXPECT_EQ(win->BDEfieldGrid->height(), 377);
  // The colours as painted.
  EXPECT_EQ(win->MemoStatus->viewport()->grab().toImage().pixelColor(5, 5), QColor(192, 192, 192));
  EXPECT_EQ(win->LEDconnect->grab().toImage().pixelColor(9, 7), QColor(255, 0, 0));
  win->ZMySqlDatabase1AfterConnect();
  EXPECT_EQ(win->LEDconnect->grab().toImage().pixelColor(9, 7), QColor(0, 128, 0));
  const std::array<int, 4> widths = {110, 49, 54, 98};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(win->BDEfieldGrid->columnWidth(c), widths[c]);
}

TEST_F(MainWinTest, LoadFillsGridLabelsAndLogAndFewerFieldsLeaveNothingStale) {
  struct Sample {
    std::string path;
    test::Json expected;
  };
  const std::string dir = test::RealDataDir() + "/paradox/";
  const std::vector<Sample> samples = {
      {dir + "db/CUSTOMER.DB", test::Json::ParseFile(dir + "db/CUSTOMER.expected.json")},
      {dir + "areas/STATES.DB", test::Json::ParseFile(dir + "areas/STATES.expected.json")},
  };
  Settings(settingsFile).SetLastDBdir("/start/");
  auto win = Create();
  for (const Sample& sample : samples) {
    SCOPED_TRACE(sample.path);
    win->MemoStatus->Add("left from before");
    Load(*win, sample.path);
    ASSERT_TRUE(messages.shown.empty()) << messages.shown.front();
    EXPECT_EQ(win->MemoStatus->LineCount(), 0u);
    const test::Json& fields = sample.expected["fields"];
    ASSERT_EQ(win->BDEfieldGrid->rowCount(), static_cast<int>(fields.items.size()));
    ASSERT_EQ(win->BDEfieldGrid->columnCount(), 5);
    for (int c = 0; c < 5; ++c) {
      EXPECT_EQ(win->BDEfieldGrid->horizontalHeaderItem(c)->text().toStdString(),
                (std::vector<std::string>{"Name", "Type", "Length", "mySQL-Type", "mySQL-KEY"}[c]));
    }
    for (std::size_t r = 0; r < fields.items.size(); ++r) {
      std::vector<std::string> row;
      for (int c = 0; c < 5; ++c) row.push_back(Cell(*win->BDEfieldGrid, static_cast<int>(r), c));
      EXPECT_EQ(row, ExpectedRow(fields[r])) << "row " << r;
    }
    EXPECT_EQ(Text(win->LabelBDEdb), fs::path(sample.path).filename().string());
    EXPECT_EQ(Text(win->LabelDSzahl), sample.expected["record_count"].text);
    EXPECT_EQ(Text(win->LabelFDzahl), std::to_string(fields.items.size()));
    ASSERT_NE(win->FieldNames(), nullptr);
    ASSERT_EQ(win->FieldNames()->Count(), fields.items.size());
    EXPECT_EQ((*win->FieldNames())[0], fields[0]["name"].text);

    // The record grid shows the first record's texts.
    DataSetModel& model = win->DBGrid->Model();
    EXPECT_EQ(model.RecordCount(), sample.expected["record_count"].Integer());
    ASSERT_EQ(model.columnCount(), static_cast<int>(fields.items.size()));
    const test::Json& first = sample.expected["records"][0];
    for (std::size_t c = 0; c < fields.items.size(); ++c) {
      if (fields[c]["type_name"].text != "alpha") continue;
      EXPECT_EQ(
          model.data(model.index(0, static_cast<int>(c)), Qt::DisplayRole).toString().toStdString(),
          first[c].IsNull() ? "" : first[c].text);
    }
    // The folder is stored at once; the dialog keeps offering the one read at start.
    EXPECT_EQ(Settings(settingsFile).LastDBdir(),
              fs::path(sample.path).parent_path().string() + "/");
    EXPECT_EQ(dialog.initialFolders.back(), "/start/");
  }
  // No key mark is left from the first table in any row of the second.
  for (int r = 0; r < win->BDEfieldGrid->rowCount(); ++r)
    EXPECT_EQ(Cell(*win->BDEfieldGrid, r, 4), "");
}

TEST_F(MainWinTest, CancelKeepsLabelsAndBlanksTheGridAndAFailedOpenIsReported) {
  auto win = Create();
  const std::string customer = test::RealDataDir() + "/paradox/db/CUSTOMER.DB";
  Load(*win, customer);
  ASSERT_EQ(win->BDEfieldGrid->rowCount(), 10);
  win->MemoStatus->Add("a line");

  Load(*win, std::nullopt);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(win->TableBDE().Active());
  EXPECT_EQ(win->MemoStatus->LineCount(), 0u);
  EXPECT_EQ(win->BDEfieldGrid->rowCount(), 10);  // unchanged, every cell blank
  for (int r = 0; r < 10; ++r) {
    for (int c = 0; c < 5; ++c) EXPECT_EQ(Cell(*win->BDEfieldGrid, r, c), "");
  }
  EXPECT_EQ(win->BDEfieldGrid->horizontalHeaderItem(3)->text(), "mySQL-Type");
  EXPECT_EQ(Text(win->LabelBDEdb), "CUSTOMER.DB");
  EXPECT_EQ(Text(win->LabelDSzahl), "20");
  EXPECT_EQ(Text(win->LabelFDzahl), "10");
  EXPECT_EQ(win->DBGrid->Model().rowCount(), 0);

  // A file that is no table: the reader's message, the folder stored all the same.
  const std::string folder = test::TempDir() + "/broken/";
  fs::create_directories(folder);
  std::ofstream(folder + "NOTES.DB") << "this is not a Paradox table";
  Load(*win, folder + "NOTES.DB");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].find("NOTES.DB"), std::string::npos) << messages.shown[0];
  EXPECT_EQ(Settings(settingsFile).LastDBdir(), folder);
  EXPECT_FALSE(win->TableBDE().Active());
  EXPECT_EQ(Cell(*win->BDEfieldGrid, 0, 0), "");
  EXPECT_EQ(Text(win->LabelBDEdb), "CUSTOMER.DB");
}

TEST_F(MainWinTest, TenMillionRecordsOpenAtOnceAndScrollByRecord) {
  constexpr std::int64_t kRows = 10'000'000;
  const std::string path = test::TempDir() + "/BIG.DB";
  test::paradox::WriteSparseNumberTable(path, kRows, {0, 1, kRows / 2, kRows - 2, kRows - 1});
  auto win = Create();
  win->show();
  win->LoadFile(path);
  EXPECT_EQ(Text(win->LabelDSzahl), "10000000");
  TDBGrid& grid = *win->DBGrid;
  DataSetModel& model = grid.Model();
  const int full = grid.FullRows();
  ASSERT_GT(full, 10);
  // The model holds a window of rows, not the table.
  EXPECT_EQ(model.rowCount(), full + 1);
  EXPECT_EQ(grid.ScrollBar().maximum(), kRows - full);
  auto shown = [&](int row) {
    return model.data(model.index(row, 0), Qt::DisplayRole).toString().toStdString();
  };
  auto header = [&](int row) {
    return model.headerData(row, Qt::Vertical, Qt::DisplayRole).toString().toStdString();
  };
  EXPECT_EQ(shown(0), "0");
  EXPECT_EQ(shown(1), "1");
  EXPECT_EQ(shown(2), "");  // a hole: null

  grid.ScrollBar().setValue(grid.ScrollBar().maximum());
  EXPECT_EQ(model.rowCount(), full);
  EXPECT_EQ(shown(full - 1), std::to_string(kRows - 1));
  EXPECT_EQ(shown(full - 2), std::to_string(kRows - 2));
  EXPECT_EQ(header(full - 1), std::to_string(kRows));

  grid.ScrollBar().setValue(static_cast<int>(kRows / 2 - 3));
  EXPECT_EQ(shown(3), std::to_string(kRows / 2));
  EXPECT_EQ(header(3), std::to_string(kRows / 2 + 1));

  // The navigation keys move the window by records.
  grid.View().setFocus();
  grid.View().setCurrentIndex(model.index(full - 1, 0));
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QApplication::sendEvent(&grid.View(), &down);
  EXPECT_EQ(grid.ScrollBar().value(), kRows / 2 - 2);
  EXPECT_EQ(grid.View().currentIndex().row(), full - 1);
  QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
  QApplication::sendEvent(&grid.View(), &end);
  EXPECT_EQ(grid.ScrollBar().value(), grid.ScrollBar().maximum());
  fs::remove(path);
}

TEST_F(MainWinTest, ReadingForTheGridLeavesTheTablesCursorAlone) {
  auto win = Create();
  Load(*win, test::RealDataDir() + "/paradox/db/CUSTOMER.DB");
  source::TTableBDE& table = win->TableBDE();
  // A second, small grid on the same table, so that each scroll reads records anew.
  TDBGrid grid;
  grid.SetDataSet(&table);
  grid.resize(400, 6 * grid.View().verticalHeader()->defaultSectionSize());
  grid.show();
  DataSetModel& model = grid.Model();
  ASSERT_GT(grid.ScrollBar().maximum(), 5);
  auto readAll = [&] {
    for (int r = 0; r < model.rowCount(); ++r) model.data(model.index(r, 1), Qt::DisplayRole);
  };
  // A loop over the records as the import runs it, the grid jumping between both ends and
  // reading between the steps, after the last one too.
  std::vector<std::string> seen;
  table.First();
  for (int step = 0; !table.Eof() && step < 100; ++step) {
    seen.push_back(table.Fields(1).AsString());
    table.Next();
    grid.ScrollBar().setValue(step % 2 ? 0 : grid.ScrollBar().maximum());
    readAll();
  }
  const test::Json expected =
      test::Json::ParseFile(test::RealDataDir() + "/paradox/db/CUSTOMER.expected.json");
  ASSERT_EQ(seen.size(), expected["records"].items.size());
  for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], expected["records"][i][1].text);
  // Bof after First stays too.
  table.First();
  grid.ScrollBar().setValue(grid.ScrollBar().maximum() / 2);
  readAll();
  EXPECT_TRUE(table.Bof());
  EXPECT_EQ(table.RecNo(), 1);
  // With controls disabled the grid does not move the cursor at all, and shows nothing new.
  table.DisableControls();
  table.Next();
  grid.ScrollBar().setValue(grid.ScrollBar().maximum());
  readAll();
  EXPECT_EQ(table.RecNo(), 2);
  EXPECT_FALSE(model.data(model.index(0, 1), Qt::DisplayRole).isValid());
  table.EnableControls();
  EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString().toStdString(),
            expected["records"][grid.ScrollBar().value()][1].text);
}

TEST_F(MainWinTest, IndicatorProgressAndTheMessageLoopsReport) {
  auto win = Create();
  win->ZMySqlDatabase1AfterConnect();
  EXPECT_EQ(win->LEDconnect->BrushColor(), QColor(0, 128, 0));
  win->ZMySqlDatabase1AfterDisconnect();
  EXPECT_EQ(win->LEDconnect->BrushColor(), QColor(255, 0, 0));

  win->ShowProgress(2500, 10000, 812.6);
  EXPECT_TRUE(win->Progress->isVisibleTo(win.get()));
  EXPECT_EQ(win->Progress->value(), 250);
  EXPECT_NE(win->ProgressText->text().indexOf("813"), -1)
      << win->ProgressText->text().toStdString();
  win->EndProgress();
  EXPECT_FALSE(win->Progress->isVisibleTo(win.get()));

  win->Guarded([] { throw EDatabaseError("Access denied for user 'root'@'localhost'"); });
  win->Guarded([] { throw EAbort(); });
  win->Guarded([] {});
  EXPECT_EQ(messages.shown, std::vector<std::string>{"Access denied for user 'root'@'localhost'"});
}

}  // namespace
}  // namespace tabulix::app
