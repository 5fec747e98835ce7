#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tabulix::test {

// A small JSON reader for the expected-value files of the sample tables. Numbers keep their
// text so that 64-bit integers and decimal digits can be compared exactly.
struct JsonMember;

struct Json {
  enum class Type { Null, Bool, Number, String, Array, Object };
  Type type = Type::Null;
  bool boolean = false;
  std::string text;  // the string, or the number as written
  std::vector<Json> items;
  std::vector<JsonMember> members;  // in file order

  bool IsNull() const { return type == Type::Null; }
  // Member by key; a static null value when absent.
  const Json& operator[](const std::string& key) const;
  const Json& operator[](std::size_t index) const { return items.at(index); }
  bool Has(const std::string& key) const;
  double Number() const { return std::stod(text); }
  long long Integer() const { return std::stoll(text); }

  // Raises std::runtime_error with the offset on malformed input.
  static Json Parse(const std::string& input);
  static Json ParseFile(const std::string& path);
};

// A key and its value; a struct of its own because std::pair cannot hold the still
// incomplete Json type inside Json's own definition.
struct JsonMember {
  std::string first;
  Json second;
};

}  // namespace tabulix::test
