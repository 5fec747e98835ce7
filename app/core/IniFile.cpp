#include "app/core/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"

namespace tabulix::app {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

// The file's lines without their line ends; empty when it cannot be read.
std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

// The section name of a "[name]" line.
bool SectionName(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return false;
  name = Trim(line.substr(1, line.size() - 2));
  return true;
}

// Key and value of a "key=value" line; comments and lines without "=" are none.
bool Entry(std::string_view line, std::string_view& key, std::string_view& value) {
  std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return false;
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  key = Trim(line.substr(0, equals));
  value = line.substr(equals + 1);
  value.remove_prefix(std::min(value.find_first_not_of(kBlanks), value.size()));
  return !key.empty();
}

// Where a key of a section stands: the line of the key (or npos), and the line after the
// section's last entry (npos when the section is missing).
struct Place {
  std::size_t keyLine = std::string::npos;
  std::size_t sectionEnd = std::string::npos;
};

Place Find(const std::vector<std::string>& lines, std::string_view section, std::string_view key) {
  Place place;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view name, k, v;
    if (SectionName(lines[i], name)) {
      inSection = EqualsIgnoreCase(name, section);
      if (inSection) place.sectionEnd = i + 1;
    } else if (inSection && Entry(lines[i], k, v)) {
      place.sectionEnd = i + 1;
      if (place.keyLine == std::string::npos && EqualsIgnoreCase(k, key)) place.keyLine = i;
    }
  }
  return place;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

[[noreturn]] void RaiseWriteError(const std::string& path, int error) {
  throw Exception(path + ": cannot write the settings file (" + std::strerror(error) + ")");
}

// Writes content beside path and renames it over path.
void ReplaceFile(const std::string& path, const std::string& content) {
  std::string temp = path + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) RaiseWriteError(path, errno);
  std::size_t done = 0;
  int error = 0;
  while (done < content.size()) {
    ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  // mkstemp makes the file private; a settings file is as readable as any other file.
  if (error == 0 && ::fchmod(fd, 0644) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    RaiseWriteError(path, error);
  }
}

}  // namespace

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  std::vector<std::string> lines = ReadLines(path_);
  Place place = Find(lines, section, key);
  if (place.keyLine == std::string::npos) return std::string(defaultValue);
  std::string_view k, value;
  Entry(lines[place.keyLine], k, value);
  return std::string(value);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) {
    throw Exception(path_ + ": a settings entry cannot hold a line break");
  }
  std::vector<std::string> lines = ReadLines(path_);
  Place place = Find(lines, section, key);
  std::string entry = std::string(key) + "=" + std::string(value);
  if (place.keyLine != std::string::npos) {
    // Keep the key as the file spells it.
    std::string_view k, v;
    Entry(lines[place.keyLine], k, v);
    lines[place.keyLine] = std::string(k) + "=" + std::string(value);
  } else if (place.sectionEnd != std::string::npos) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.sectionEnd), entry);
  } else {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    // Built by appending: GCC 12 warns falsely (-Wrestrict) about "[" + std::string(...).
    std::string header(1, '[');
    header.append(section).push_back(']');
    lines.push_back(std::move(header));
    lines.push_back(entry);
  }
  std::string content;
  for (const std::string& line : lines) content.append(line).push_back('\n');
  ReplaceFile(path_, content);
}

}  // namespace tabulix::app
