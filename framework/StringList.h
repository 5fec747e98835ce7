#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

// An ordered list of text lines with change notification, as the components' SQL and
// name lists use it. Text() joins the lines with carriage return and line feed.
class StringList {
 public:
  using ChangeHandler = std::function<void(StringList&)>;

  StringList() = default;
  StringList(std::initializer_list<std::string> lines) : lines_(lines) {}

  std::size_t Count() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  const std::string& operator[](std::size_t index) const;  // EListError when out of range
  void Set(std::size_t index, std::string line);

  void Add(std::string line);
  void Insert(std::size_t index, std::string line);
  void Delete(std::size_t index);
  void Clear();
  // Position of the line, ignoring ASCII letter case; -1 when absent.
  int IndexOf(std::string_view line) const;

  // Every line followed by CR LF.
  std::string Text() const;
  // Replaces the lines by the text cut at CR LF, LF or CR.
  void SetText(std::string_view text);
  void Assign(const StringList& other);

  const std::vector<std::string>& Lines() const { return lines_; }
  auto begin() const { return lines_.begin(); }
  auto end() const { return lines_.end(); }

  // Called after every change; a batch of changes inside BeginUpdate/EndUpdate calls it once.
  void SetOnChange(ChangeHandler handler) { onChange_ = std::move(handler); }
  void BeginUpdate() { ++updateDepth_; }
  void EndUpdate();

 private:
  void Changed();

  std::vector<std::string> lines_;
  ChangeHandler onChange_;
  int updateDepth_ = 0;
  bool pendingChange_ = false;
};

}  // namespace tabulix
