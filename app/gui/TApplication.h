#pragma once

#include <QApplication>

namespace tabulix::app {

class MessageBoxes;

// The application object. Its message loop reports an exception that leaves an event handler
// the way the window reports one from a button (ReportException) and goes on.
class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv, MessageBoxes& boxes);

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  MessageBoxes& boxes_;
};

}  // namespace tabulix::app
