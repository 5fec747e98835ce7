#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/FieldType.h"
#include "framework/FieldValue.h"

namespace tabulix {

enum TParamType : std::uint8_t { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

// One named parameter of a statement (":name" in its text) with its value.
struct TParam {
  std::string Name{};
  TFieldType DataType = ftUnknown;
  TParamType ParamType = ptUnknown;
  FieldValue Value{};
};

// A dataset's parameter collection, in order of appearance in its statement. Names compare
// ignoring letter case.
class TParams {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  TParam& operator[](int index);  // EListError when out of range
  const TParam& operator[](int index) const;

  TParam& Add(std::string name);
  TParam* FindParam(std::string_view name);  // the first of that name; nullptr when none
  const TParam* FindParam(std::string_view name) const;
  // Takes over value and data type of every parameter of source that has a namesake here.
  void AssignValues(const TParams& source);
  void Clear() { items_.clear(); }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<TParam> items_;
};

}  // namespace tabulix
