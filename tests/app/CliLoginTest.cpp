#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <string>

#include "app/cli/CliLogin.h"
#include "app/cli/TerminalLoginPrompt.h"
#include "framework/Exceptions.h"
#include "support/TestData.h"

namespace tabulix::app {
namespace {

class Pipe {
 public:
  Pipe() { EXPECT_EQ(::pipe(fds_), 0); }
  ~Pipe() {
    CloseWrite();
    ::close(fds_[0]);
  }
  int Read() const { return fds_[0]; }
  int Write() const { return fds_[1]; }
  void Put(const std::string& text) {
    ASSERT_EQ(::write(fds_[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  void CloseWrite() {
    if (fds_[1] >= 0) ::close(fds_[1]);
    fds_[1] = -1;
  }
  std::string Drain() {
    CloseWrite();
    std::string out;
    char buffer[256];
    ssize_t n = 0;
    while ((n = ::read(fds_[0], buffer, sizeof buffer)) > 0) out.append(buffer, n);
    return out;
  }

 private:
  int fds_[2] = {-1, -1};
};

TEST(TerminalLoginPrompt, ReturnsTypedNameAndPasswordAndShowsTheDatabase) {
  Pipe in;
  Pipe out;
  in.Put("alice\nsecret\n");
  TerminalLoginPrompt prompt(in.Read(), out.Write());
  std::string user = "root";
  std::string password = "stored";
  ASSERT_TRUE(prompt.Execute("mysql", user, password));
  EXPECT_EQ(user, "alice");
  EXPECT_EQ(password, "secret");
  std::string shown = out.Drain();
  EXPECT_NE(shown.find("Datenbank: mysql"), std::string::npos) << shown;
  EXPECT_NE(shown.find("[root]"), std::string::npos) << shown;
}

TEST(TerminalLoginPrompt, EmptyNameKeepsTheOfferedOneAndEmptyPasswordIsTaken) {
  Pipe in;
  Pipe out;
  in.Put("\r\n\r\n");
  TerminalLoginPrompt prompt(in.Read(), out.Write());
  std::string user = "root";
  std::string password = "stored";
  ASSERT_TRUE(prompt.Execute("db", user, password));
  EXPECT_EQ(user, "root");
  EXPECT_EQ(password, "");
}

TEST(TerminalLoginPrompt, EndOfInputCancelsAndLeavesBothTexts) {
  for (const std::string input : {"", "bob\n"}) {
    Pipe in;
    Pipe out;
    in.Put(input);
    in.CloseWrite();
    TerminalLoginPrompt prompt(in.Read(), out.Write());
    std::string user = "root";
    std::string password = "stored";
    EXPECT_FALSE(prompt.Execute("db", user, password)) << input;
    EXPECT_EQ(user, "root");
    EXPECT_EQ(password, "stored");
  }
}

TEST(TerminalLoginPrompt, KeepsLongTextsWholeAndAsksAgainForOnesTooLongToPassOn) {
  Pipe in;
  Pipe out;
  // A user name of 40 characters, a password of 256 bytes (refused), then one of 255.
  in.Put(std::string(40, 'u') + "\n" + std::string(256, 'p') + "\n" + std::string(255, 'q') + "\n");
  TerminalLoginPrompt prompt(in.Read(), out.Write());
  std::string user;
  std::string password;
  ASSERT_TRUE(prompt.Execute("db", user, password));
  EXPECT_EQ(user, std::string(40, 'u'));
  EXPECT_EQ(password, std::string(255, 'q'));
  std::string shown = out.Drain();
  EXPECT_NE(shown.find("höchstens 255 Bytes"), std::string::npos) << shown;
}

// A prompt that must not be asked.
class RefusingPrompt final : public LoginDialogService {
 public:
  bool Execute(std::string_view, std::string&, std::string&) override {
    ++asked;
    return false;
  }
  int asked = 0;
};

struct PasswordCase {
  const char* name;
  std::optional<std::string> fileContent;  // nothing: no --password-file
  const char* environment;                 // nullptr: TABULIX_PASSWORD unset
  std::optional<std::string> expected;     // nothing: no password known
  const char* error;                       // part of the message when it fails
};

TEST(CliLogin, PasswordComesFromTheFileElseTheVariableElseThePrompt) {
  const std::string long256(256, 'x');
  const PasswordCase cases[] = {
      {"first line of the file", "s3cret\nsecond line\n", "env", "s3cret", nullptr},
      {"CR LF line end", "pw\r\n", nullptr, "pw", nullptr},
      {"no line end, blanks kept", " pw ", nullptr, " pw ", nullptr},
      {"empty file is an empty password", "", "env", "", nullptr},
      {"variable without file", std::nullopt, "from env", "from env", nullptr},
      {"empty variable", std::nullopt, "", "", nullptr},
      {"neither", std::nullopt, nullptr, std::nullopt, nullptr},
      {"255 bytes pass", std::string(255, 'y'), nullptr, std::string(255, 'y'), nullptr},
      {"256 bytes in the file", long256, nullptr, std::nullopt, "longer than 255 bytes"},
      {"256 bytes in the variable", std::nullopt, long256.c_str(), std::nullopt,
       "in TABULIX_PASSWORD is longer"},
  };
  int n = 0;
  for (const PasswordCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file;
    if (c.fileContent) {
      file = test::TempDir() + "/password" + std::to_string(n++);
      std::ofstream(file, std::ios::binary) << *c.fileContent;
    }
    if (c.error != nullptr) {
      try {
        CliLogin::KnownPassword(file, c.environment);
        ADD_FAILURE() << "no error";
      } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
      }
      continue;
    }
    const std::optional<std::string> known = CliLogin::KnownPassword(file, c.environment);
    EXPECT_EQ(known, c.expected);
    // A known password answers the prompt with the user name as given; else the prompt asks.
    RefusingPrompt prompt;
    CliLogin login(known, prompt);
    std::string user = "tabulix";
    std::string password = "old";
    EXPECT_EQ(login.Execute("mysql", user, password), known.has_value());
    EXPECT_EQ(prompt.asked, known ? 0 : 1);
    EXPECT_EQ(user, "tabulix");
    EXPECT_EQ(password, known.value_or("old"));
  }
}

TEST(CliLogin, AMissingPasswordFileIsNamed) {
  const std::string missing = test::TempDir() + "/no-such-password";
  try {
    CliLogin::KnownPassword(missing, "env");
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace tabulix::app
