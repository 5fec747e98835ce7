#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/TFieldDef.h"

namespace tabulix {

// The column definitions of a dataset, in record order; FieldNo follows the position.
class TFieldDefs {
 public:
  TFieldDef& Add(std::string name, TFieldType dataType, int size = 0, bool required = false);
  void Clear() { defs_.clear(); }
  int Count() const { return static_cast<int>(defs_.size()); }
  const TFieldDef& operator[](int index) const;  // EListError when out of range
  TFieldDef& operator[](int index);
  // Position of the definition with that name, ignoring ASCII letter case; -1 when absent.
  int IndexOf(std::string_view name) const;

  auto begin() const { return defs_.begin(); }
  auto end() const { return defs_.end(); }

 private:
  std::vector<TFieldDef> defs_;
};

}  // namespace tabulix
