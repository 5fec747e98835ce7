#include "framework/StringList.h"

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"

namespace tabulix {
namespace {

[[noreturn]] void IndexError(std::size_t index) {
  throw EListError(FormatMessage("List Index Error at %d", {std::to_string(index)}));
}

}  // namespace

const std::string& StringList::operator[](std::size_t index) const {
  if (index >= lines_.size()) IndexError(index);
  return lines_[index];
}

void StringList::Set(std::size_t index, std::string line) {
  if (index >= lines_.size()) IndexError(index);
  lines_[index] = std::move(line);
  Changed();
}

void StringList::Add(std::string line) {
  lines_.push_back(std::move(line));
  Changed();
}

void StringList::Insert(std::size_t index, std::string line) {
  if (index > lines_.size()) IndexError(index);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
  Changed();
}

void StringList::Delete(std::size_t index) {
  if (index >= lines_.size()) IndexError(index);
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
  Changed();
}

void StringList::Clear() {
  if (lines_.empty()) return;
  lines_.clear();
  Changed();
}

int StringList::IndexOf(std::string_view line) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (EqualsIgnoreCase(lines_[i], line)) return static_cast<int>(i);
  }
  return -1;
}

std::string StringList::Text() const {
  std::string out;
  for (const auto& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

void StringList::SetText(std::string_view text) {
  lines_.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines_.emplace_back(text.substr(start));
      break;
    }
    lines_.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  Changed();
}

void StringList::Assign(const StringList& other) {
  if (&other == this) return;
  lines_ = other.lines_;
  Changed();
}

void StringList::EndUpdate() {
  if (updateDepth_ > 0 && --updateDepth_ == 0 && pendingChange_) {
    pendingChange_ = false;
    if (onChange_) onChange_(*this);
  }
}

void StringList::Changed() {
  if (updateDepth_ > 0) {
    pendingChange_ = true;
    return;
  }
  if (onChange_) onChange_(*this);
}

}  // namespace tabulix
