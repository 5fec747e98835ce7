#include "app/core/Settings.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tabulix::app {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFilesSection = "Files";
constexpr std::string_view kLastDBdirKey = "LastDBdir";

// Whether new files can be made in the folder of path: the test is the one a write does
// (a temporary file beside path), so a folder that the user may not write, a read-only file
// system and a missing folder all count as not writable, whatever the process's privileges.
bool CanCreateBeside(const std::string& path) {
  std::string probe = path + ".XXXXXX";
  int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

}  // namespace

std::string Settings::LastDBdir() const {
  return file_.ReadString(kFilesSection, kLastDBdirKey, "");
}

void Settings::SetLastDBdir(std::string_view folder) {
  // The per-user folder may not exist yet; a failure here shows in the write's own error.
  std::error_code ec;
  fs::create_directories(fs::path(FileName()).parent_path(), ec);
  file_.WriteString(kFilesSection, kLastDBdirKey, folder);
}

std::string Settings::PathFor(const std::string& executable, const std::string& userConfigDir) {
  std::string beside = executable + ".ini";
  if (CanCreateBeside(beside)) return beside;
  return (fs::path(userConfigDir) / (fs::path(executable).filename().string() + ".ini")).string();
}

std::string Settings::DefaultPath() {
  return PathFor(ExecutablePath(), UserConfigDir());
}

std::string Settings::UserConfigDir() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return (fs::path(config) / "tabulix").string();
  std::string home;
  if (const char* env = std::getenv("HOME"); env != nullptr && env[0] != '\0') {
    home = env;
  } else if (const passwd* user = ::getpwuid(::getuid()); user != nullptr) {
    home = user->pw_dir;
  }
  return (fs::path(home) / ".config" / "tabulix").string();
}

std::string ExecutablePath() {
  std::error_code ec;
  fs::path path = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
}

}  // namespace tabulix::app
