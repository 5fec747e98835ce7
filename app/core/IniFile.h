#pragma once

#include <string>
#include <string_view>

namespace tabulix::app {

// A sectioned key=value settings file ("[Section]" lines, then "key=value" lines). Section and
// key names compare ignoring ASCII letter case. Every call reads the file afresh and every write
// rewrites it at once, so two running copies of the program lose nothing of each other's keys.
// Lines the class does not understand (comments, other sections) are kept as they stand.
class IniFile {
 public:
  explicit IniFile(std::string path) : path_(std::move(path)) {}

  const std::string& FileName() const { return path_; }

  // The value of key in section; defaultValue when the file, the section or the key is
  // missing or the file cannot be read. Blanks around the key and before the value are not
  // part of them.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // Stores value under key in section, creating the file, section or key as needed. The file
  // is replaced as a whole (written beside it, then renamed), so a failure never leaves half a
  // file. Raises tabulix::Exception naming the file when it cannot be written, or when the
  // section, key or value holds a line break, which the format cannot carry.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

 private:
  std::string path_;
};

}  // namespace tabulix::app
