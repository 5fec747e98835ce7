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

// What the terminal prompt makes of the lines typed on it, with "root" offered and "stored"
// as the password before.
struct PromptCase {
  const char* name;
  std::string typed;  // the input, read to its end
  bool ok;
  std::string user;
  std::string password;
  const char* shown;  // part of what the prompt wrote
};

TEST(TerminalLoginPrompt, TakesWhatIsTypedWholeAndCancelsAtEndOfInput) {
  const std::string long40(40, 'u');
  const PromptCase cases[] = {
      {"name and password", "alice\nsecret\n", true, "alice", "secret", "Datenbank: db\n"},
      {"Enter keeps the offered name, an empty password counts", "\r\n\r\n", true, "root", "",
       "Benutzername [root]: "},
      {"end of input at once", "", false, "root", "stored", ""},
      {"end of input before the password", "bob\n", false, "root", "stored", "Paßwort: "},
      // Long texts stay whole; one longer than the connection passes on is asked for again.
      {"long texts", long40 + "\n" + std::string(256, 'p') + "\n" + std::string(255, 'q') + "\n",
       true, long40, std::string(255, 'q'), "höchstens 255 Bytes"},
  };
  for (const PromptCase& c : cases) {
    SCOPED_TRACE(c.name);
    int in[2];
    int out[2];
    ASSERT_EQ(::pipe(in), 0);
    ASSERT_EQ(::pipe(out), 0);
    ASSERT_EQ(::write(in[1], c.typed.data(), c.typed.size()), static_cast<ssize_t>(c.typed.size()));
    ::close(in[1]);
    std::string user = "root";
    std::string password = "stored";
    EXPECT_EQ(TerminalLoginPrompt(in[0], out[1]).Execute("db", user, password), c.ok);
    ::close(out[1]);
    EXPECT_EQ(user, c.user);
    EXPECT_EQ(password, c.password);
    std::string shown;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) shown.append(buffer, n);
    EXPECT_NE(shown.find(c.shown), std::string::npos) << shown;
    ::close(in[0]);
    ::close(out[0]);
  }
}

// A prompt that must not be asked when the password is known.
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
      {"neither", std::nullopt, nullptr, std::nullopt, nullptr},
      {"255 bytes pass", std::string(255, 'y'), nullptr, std::string(255, 'y'), nullptr},
      {"256 bytes in the file", long256, nullptr, std::nullopt, "longer than 255 bytes"},
      {"256 bytes in the variable", std::nullopt, long256.c_str(), std::nullopt,
       "in TABULIX_PASSWORD is longer"},
      {"missing file", std::nullopt, "env", std::nullopt, "/no/such/password-file"},
  };
  for (const PasswordCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = std::string(c.name) == "missing file" ? "/no/such/password-file" : "";
    if (c.fileContent) {
      file = test::TempDir() + "/password";
      std::ofstream(file, std::ios::binary | std::ios::trunc) << *c.fileContent;
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
    std::string user = "tabulix";
    std::string password = "old";
    EXPECT_EQ(CliLogin(known, prompt).Execute("mysql", user, password), known.has_value());
    EXPECT_EQ(prompt.asked, known ? 0 : 1);
    EXPECT_EQ(user, "tabulix");
    EXPECT_EQ(password, known.value_or("old"));
  }
}

}  // namespace
}  // namespace tabulix::app
