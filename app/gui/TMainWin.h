#pragma once

#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/core/FieldGrid.h"
#include "app/core/ImportEngine.h"
#include "app/core/Settings.h"
#include "app/core/TFileVersionInfo.h"
#include "framework/StringList.h"
#include "source/TableBDE.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTableWidget;
class QToolButton;

namespace tabulix {
class LoginDialogService;
class ScreenCursor;
}  // namespace tabulix

namespace tabulix::app {

class FileOpenDialog;
class MessageBoxes;
class TDBGrid;
class TShape;
class TStatusLog;

// The main window: the toolbar with the load and import buttons and the version label, the
// target settings and the connection indicator, the source table's name, counts and field
// grid, the record grid, the status log, the logo and the credit line. It owns the import
// engine (which holds the source table and the database components) and the settings file;
// the handlers run on the user-interface thread to their end.
class TMainWin : public QWidget {
 public:
  // What the window works with beside Qt: the dialogs it shows (tests put in their own), its
  // settings file and the executable whose version it shows. The login prompt and the wait
  // cursor of the database components default to the ones the program installed at start.
  struct Services {
    FileOpenDialog* openDialog = nullptr;
    MessageBoxes* messages = nullptr;
    std::string settingsFile;
    std::string executableFile;
    LoginDialogService* login = nullptr;
    ScreenCursor* cursor = nullptr;
  };

  explicit TMainWin(Services services, QWidget* parent = nullptr);
  ~TMainWin() override;

  // The load button: chooses a table in the file-open dialog, opens it and shows its fields.
  void ToolButtonLoadSourceDBClick();
  // The same load with the file given, as if chosen in the dialog (the command line's FILE).
  void LoadFile(const std::string& path);
  // The import button: the engine checks the database name, defines the table, connects with
  // the login prompt and copies every record into the database, table and host typed in the
  // three edits, in bulk mode when "Bulk load" is checked. It runs to its end before the
  // window answers again.
  void ToolButtonImport2MySQLClick();
  // The monitor's reports of every server step: two lines each in the status log.
  void ZMonitor1MonitorEvent(const std::string& sql, const std::string& result);

  // The connection indicator: green after every completed connect, red after a disconnect.
  void ZMySqlDatabase1AfterConnect();
  void ZMySqlDatabase1AfterDisconnect();

  // Progress of a long run, shown at once without handling input: records done of total and
  // the rate. EndProgress hides it again.
  void ShowProgress(std::int64_t done, std::int64_t total, double rowsPerSecond);
  void EndProgress();

  // Runs a handler as the message loop runs one: an exception it raises is shown in a message
  // box (nothing for the silent abort), and the window goes on.
  template <class Handler>
  void Guarded(Handler&& handler) {
    try {
      handler();
    } catch (...) {
      ReportError(std::current_exception());
    }
  }

  source::TTableBDE& TableBDE() { return engine_->TableBDE(); }
  ImportEngine& Engine() { return *engine_; }
  const std::string& LastSourceFolder() const { return lastSourceFolder_; }
  const StringList* FieldNames() const { return fieldNames_.get(); }
  const Settings* SettingsFile() const { return settings_.get(); }

  // The controls, by the names of the window's design.
  QToolButton* ToolButtonLoadSourceDB;
  QToolButton* ToolButtonImport2MySQL;
  QLabel* ProgVersion;
  QLineEdit* EditMySQLdb;
  QLineEdit* EditMySQLtable;
  QLineEdit* EditMySQLhost;
  // Bulk mode of the import (the engine's bulk setting), off at every start.
  QCheckBox* CheckBulk;
  TShape* LEDconnect;
  QLabel* LabelBDEdb;
  QLabel* LabelDSzahl;
  QLabel* LabelFDzahl;
  QTableWidget* BDEfieldGrid;
  TDBGrid* DBGrid;
  TStatusLog* MemoStatus;
  QLabel* Image1;
  QLabel* Label1;
  QProgressBar* Progress;
  QLabel* ProgressText;
  // The toolbar images: 0 import, 1 load.
  std::vector<QPixmap> ImageList1;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // What the engine reaches of the window: the status log, the indicator and the progress.
  class EngineFrontEnd;

  QWidget* CreateToolBar();
  QWidget* CreateTargetBox();
  QWidget* CreateSourceBox();
  QWidget* CreateRecordPanel();
  void FormCreate();
  void FormClose();
  void LoadSource(FileOpenDialog& dialog);
  void ClearFieldGrid();
  void ShowSourceTable(const LoadedSource& view);
  void ReportError(std::exception_ptr error);

  Services services_;
  std::unique_ptr<EngineFrontEnd> frontEnd_;
  std::unique_ptr<ImportEngine> engine_;
  TFileVersionInfo fileVersionInfo_;
  std::unique_ptr<StringList> fieldNames_;
  std::unique_ptr<Settings> settings_;
  std::string lastSourceFolder_;
  bool centred_ = false;
};

}  // namespace tabulix::app
