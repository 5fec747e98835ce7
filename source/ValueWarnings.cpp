#include "source/ValueWarnings.h"

#include <algorithm>

namespace tabulix::source {

void ValueWarnings::Note(std::size_t field, ValueProblem problem, std::string_view stored) {
  if (!counting_) return;
  pending_.push_back(
      {field, problem, std::string(stored.substr(0, ValueWarning::kStoredBytesKept + 1)), false});
}

void ValueWarnings::NoteNotUtf8(std::size_t field) {
  if (!counting_) return;
  pending_.push_back({field, ValueProblem::LooksLikeUtf8, {}, true});
}

void ValueWarnings::Count() {
  const std::int64_t record = counted_;
  // Notes are rare: a linear search over the few counts is enough.
  for (Pending& p : pending_) {
    if (p.notUtf8) {
      if (std::find(notUtf8Fields_.begin(), notUtf8Fields_.end(), p.field) ==
          notUtf8Fields_.end()) {
        notUtf8Fields_.push_back(p.field);
      }
      continue;
    }
    auto it = std::find_if(counts_.begin(), counts_.end(), [&](const ValueWarning& w) {
      return w.field == p.field && w.problem == p.problem;
    });
    if (it == counts_.end()) {
      counts_.push_back({p.field, p.problem, 1, record, std::move(p.stored)});
    } else {
      ++it->count;
    }
  }
  pending_.clear();
}

std::vector<ValueWarning> ValueWarnings::List() const {
  std::vector<ValueWarning> list;
  for (const ValueWarning& w : counts_) {
    bool mixed =
        w.problem == ValueProblem::LooksLikeUtf8 &&
        std::find(notUtf8Fields_.begin(), notUtf8Fields_.end(), w.field) != notUtf8Fields_.end();
    if (!mixed) list.push_back(w);
  }
  std::sort(list.begin(), list.end(), [](const ValueWarning& a, const ValueWarning& b) {
    return a.field != b.field ? a.field < b.field : a.problem < b.problem;
  });
  return list;
}

}  // namespace tabulix::source
