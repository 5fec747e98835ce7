// The settings file: reading and rewriting a sectioned key=value file without losing what
// else it holds, and where the program keeps it when its own folder takes no new files.
#include "app/core/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/Exceptions.h"
#include "support/TestData.h"

namespace tabulix::app {
namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Folder(const std::string& name) {
  fs::path dir = fs::path(test::TempDir()) / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

TEST(SettingsTest, WritingKeepsEverythingElseOfTheFile) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"new file", "", "[Files]\nLastDBdir=/data/new/\n"},
      {"key replaced, its spelling kept",
       "; written by hand\n[files]\nlastdbdir = /old/\nOther=1\n",
       "; written by hand\n[files]\nlastdbdir=/data/new/\nOther=1\n"},
      {"key added after the section's entries", "[Files]\nOther=1\n\n[Window]\nLeft=3\n",
       "[Files]\nOther=1\nLastDBdir=/data/new/\n\n[Window]\nLeft=3\n"},
      {"section added at the end", "[Window]\r\nLeft=3\r\n",
       "[Window]\nLeft=3\n\n[Files]\nLastDBdir=/data/new/\n"},
      {"same key in another section untouched", "[Other]\nLastDBdir=/x/\n[Files]\n",
       "[Other]\nLastDBdir=/x/\n[Files]\nLastDBdir=/data/new/\n"},
  };
  const std::string dir = Folder("ini");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir + "/tabulix.ini";
    fs::remove(path);
    if (!c.before.empty()) std::ofstream(path, std::ios::binary) << c.before;
    Settings settings(path);
    settings.SetLastDBdir("/data/new/");
    EXPECT_EQ(Read(path), c.after);
    EXPECT_EQ(settings.LastDBdir(), "/data/new/");
    // Nothing left over from the replacement.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  }
}

TEST(SettingsTest, ReadingTakesTheFirstMatchAndDefaultsToEmpty) {
  const std::string dir = Folder("ini-read");
  const std::string path = dir + "/a.ini";
  Settings missing(dir + "/none.ini");
  EXPECT_EQ(missing.LastDBdir(), "");
  std::ofstream(path, std::ios::binary)
      << "[Files]\r\n  LastDBdir =  /mnt/alte Daten/Gr\xC3\xB6\xC3\x9F"
         "e/  \r\nLastDBdir=/second/\r\n";
  // Blanks before the value go; blanks inside and after it are part of a folder name.
  EXPECT_EQ(Settings(path).LastDBdir(),
            "/mnt/alte Daten/Gr\xC3\xB6\xC3\x9F"
            "e/  ");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("FILES", "lastdbdir", "-"),
            "/mnt/alte Daten/Gr\xC3\xB6\xC3\x9F"
            "e/  ");
  EXPECT_EQ(ini.ReadString("Files", "Missing", "-"), "-");
  EXPECT_EQ(ini.ReadString("Nope", "LastDBdir", "-"), "-");
  // A folder name with a line break cannot be stored and must not break the file.
  EXPECT_THROW(Settings(path).SetLastDBdir("/odd\nname/"), Exception);
  EXPECT_EQ(Settings(path).LastDBdir(),
            "/mnt/alte Daten/Gr\xC3\xB6\xC3\x9F"
            "e/  ");
}

TEST(SettingsTest, FileBesideTheProgramOrInTheUsersFolder) {
  const std::string programs = Folder("programs");
  const std::string user = Folder("user") + "/config/tabulix";
  struct Case {
    const char* name;
    std::string executable;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"writable folder", programs + "/tabulix", programs + "/tabulix.ini"},
      // No one, the superuser included, can make files here.
      {"folder of the system", "/proc/tabulix", user + "/tabulix.ini"},
      {"missing folder", programs + "/gone/tabulix", user + "/tabulix.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Settings::PathFor(c.executable, user);
    EXPECT_EQ(path, c.expected);
    // The test of the folder leaves nothing behind, and the chosen file can be written.
    EXPECT_TRUE(fs::is_empty(programs));
    Settings settings(path);
    settings.SetLastDBdir("/tables/");
    EXPECT_EQ(Settings(path).LastDBdir(), "/tables/");
    fs::remove(path);
  }
}

}  // namespace
}  // namespace tabulix::app
