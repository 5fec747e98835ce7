// One TApplication for the whole test program, on Qt's offscreen platform unless a platform is
// asked for; what its message loop reports is recorded instead of shown.
#include <gtest/gtest.h>

#include <memory>

#include "app/core/MessageBoxes.h"
#include "app/gui/TApplication.h"
#include "tests/gui/TestApplication.h"

namespace tabulix::test {

namespace {

class RecordedMessages final : public app::MessageBoxes {
 public:
  void ShowError(const std::string& message) override { ReportedErrors().push_back(message); }
};

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<app::TApplication>(argc_, argv_, messages_);
  }
  void TearDown() override { application_.reset(); }

 private:
  int argc_ = 1;
  char name_[10] = "gui_tests";
  char* argv_[2] = {name_, nullptr};
  RecordedMessages messages_;
  std::unique_ptr<app::TApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

std::vector<std::string>& ReportedErrors() {
  static std::vector<std::string> errors;
  return errors;
}

}  // namespace tabulix::test
