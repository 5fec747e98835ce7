// Start-up of the window: the application title, the platform services of the database
// components (wait cursor, login dialog), the main window, and the message loop until the
// window closes. A table file given as the only argument is loaded as if chosen in the dialog.
// With TABULIX_SCREENSHOT set to a PNG path, the window writes a picture of itself there soon
// after it appears and ends (scripts/screenshot.sh).
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/core/Settings.h"
#include "app/gui/LoginDialogPrompt.h"
#include "app/gui/QtFileOpenDialog.h"
#include "app/gui/QtMessageBoxes.h"
#include "app/gui/QtScreenCursor.h"
#include "app/gui/TApplication.h"
#include "app/gui/TMainWin.h"
#include "framework/PlatformServices.h"

int main(int argc, char** argv) {
  using namespace tabulix;
  using namespace tabulix::app;
  QtMessageBoxes messages;
  TApplication application(argc, argv, messages);
  TApplication::setApplicationName(QStringLiteral("Tabulix-Converter"));
  TApplication::setApplicationDisplayName(QStringLiteral("Tabulix-Converter"));

  QtScreenCursor cursor;
  LoginDialogPrompt login;
  PlatformServices::Scope services(&cursor, &login);

  QtFileOpenDialog openDialog;
  const std::string executable = ExecutablePath();
  TMainWin MainWin({&openDialog, &messages,
                    Settings::PathFor(executable, Settings::UserConfigDir()), executable, &login,
                    &cursor});
  MainWin.show();

  const QStringList arguments = TApplication::arguments();
  if (arguments.size() > 1) {
    const std::string file =
        std::filesystem::absolute(QFile::encodeName(arguments[1]).toStdString()).string();
    QTimer::singleShot(0, &MainWin,
                       [&MainWin, file] { MainWin.Guarded([&] { MainWin.LoadFile(file); }); });
  }
  if (const QString shot = qEnvironmentVariable("TABULIX_SCREENSHOT"); !shot.isEmpty()) {
    QTimer::singleShot(1500, &MainWin, [&MainWin, shot] {
      // What the display shows where it can be read back, else the window's own rendering.
      QPixmap picture = MainWin.screen()->grabWindow(MainWin.winId());
      if (picture.isNull() || picture.size() != MainWin.size()) picture = MainWin.grab();
      const bool saved = picture.save(shot, "PNG");
      if (!saved) std::fprintf(stderr, "cannot write %s\n", qPrintable(shot));
      TApplication::exit(saved ? 0 : 1);
    });
  }
  return TApplication::exec();
}
