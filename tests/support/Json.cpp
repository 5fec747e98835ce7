#include "support/Json.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "framework/Utf8Text.h"

namespace tabulix::test {
namespace {

class Parser {
 public:
  explicit Parser(const std::string& s) : s_(s) {}

  Json Document() {
    Json v = Value();
    Blanks();
    if (pos_ != s_.size()) Fail("trailing text");
    return v;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(pos_));
  }
  void Blanks() {
    while (pos_ < s_.size() &&
           (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\r' || s_[pos_] == '\t'))
      ++pos_;
  }
  bool Take(char c) {
    Blanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  void Expect(char c) {
    if (!Take(c)) Fail(std::string("expected '") + c + "'");
  }
  bool Word(const char* w) {
    std::string_view word(w);
    if (s_.compare(pos_, word.size(), word) == 0) {
      pos_ += word.size();
      return true;
    }
    return false;
  }

  unsigned Hex4() {
    if (pos_ + 4 > s_.size()) Fail("short \\u escape");
    unsigned v = static_cast<unsigned>(std::stoul(s_.substr(pos_, 4), nullptr, 16));
    pos_ += 4;
    return v;
  }

  std::string String() {
    Expect('"');
    std::string out;
    while (true) {
      if (pos_ >= s_.size()) Fail("unterminated string");
      char c = s_[pos_++];
      if (c == '"') break;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= s_.size()) Fail("bad escape");
      char e = s_[pos_++];
      switch (e) {
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'u': {
          unsigned cp = Hex4();
          if (cp >= 0xD800 && cp < 0xDC00 && Word("\\u")) {
            unsigned low = Hex4();
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(out, static_cast<char32_t>(cp));
          break;
        }
        default:
          out += e;
      }
    }
    return out;
  }

  Json Value() {
    Blanks();
    if (pos_ >= s_.size()) Fail("unexpected end");
    Json v;
    char c = s_[pos_];
    if (c == '{') {
      ++pos_;
      v.type = Json::Type::Object;
      if (Take('}')) return v;
      do {
        Blanks();
        std::string key = String();
        Expect(':');
        v.members.push_back(JsonMember{std::move(key), Value()});
      } while (Take(','));
      Expect('}');
    } else if (c == '[') {
      ++pos_;
      v.type = Json::Type::Array;
      if (Take(']')) return v;
      do {
        v.items.push_back(Value());
      } while (Take(','));
      Expect(']');
    } else if (c == '"') {
      v.type = Json::Type::String;
      v.text = String();
    } else if (Word("null")) {
      v.type = Json::Type::Null;
    } else if (Word("true")) {
      v.type = Json::Type::Bool;
      v.boolean = true;
    } else if (Word("false")) {
      v.type = Json::Type::Bool;
    } else {
      std::size_t start = pos_;
      while (pos_ < s_.size() &&
             std::string_view("+-0123456789.eE").find(s_[pos_]) != std::string_view::npos)
        ++pos_;
      if (start == pos_) Fail("unexpected character");
      v.type = Json::Type::Number;
      v.text = s_.substr(start, pos_ - start);
    }
    return v;
  }

  const std::string& s_;
  std::size_t pos_ = 0;
};

}  // namespace

const Json& Json::operator[](const std::string& key) const {
  static const Json kNull;
  for (const auto& [k, v] : members) {
    if (k == key) return v;
  }
  return kNull;
}

bool Json::Has(const std::string& key) const {
  for (const auto& m : members) {
    if (m.first == key) return true;
  }
  return false;
}

Json Json::Parse(const std::string& input) {
  return Parser(input).Document();
}

Json Json::ParseFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return Parse(buffer.str());
}

}  // namespace tabulix::test
