#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tabulix {

// Token types with fixed values.
enum TZTokenType : std::int32_t {
  tkUnknown = 0,  // one character that no rule claims
  tkComment = 1,
  tkKeyword = 2,
  tkWord = 8,
  tkOperator = 16,
  tkBracket = 32,    // ( ) [ ] { }
  tkSeparator = 64,  // , : ;
  tkCr = 128,
  tkLf = 224,
  tkInteger = 256,
  tkFloat = 512,
  tkString = 1024,
  tkEnd = 32768,
};

// A general text scanner: cuts a text into words, numbers, quoted strings, operators,
// brackets, separators and line breaks. Positions and lines count from 1. Scanning never
// fails: unterminated strings end at the end of the text.
class TZScanner {
 public:
  TZScanner() = default;
  virtual ~TZScanner() = default;
  TZScanner(const TZScanner&) = delete;
  TZScanner& operator=(const TZScanner&) = delete;

  // Loads a text and starts again at position 1, line 1.
  void SetText(std::string_view text);

  const std::string& Buffer() const { return buffer_; }
  int Position() const { return static_cast<int>(position_); }
  int Line() const { return static_cast<int>(line_); }
  int BufferLength() const { return static_cast<int>(buffer_.size()); }
  TZTokenType LastType() const { return lastType_; }

  // Comment tokens are dropped by NextToken unless set (default false).
  bool ShowComments() const { return showComments_; }
  void SetShowComments(bool value) { showComments_ = value; }
  // String tokens keep their quotes unless cleared (default true).
  bool KeepQuotes() const { return keepQuotes_; }
  void SetKeepQuotes(bool value) { keepQuotes_ = value; }
  // Line-break tokens are dropped by NextToken unless set (default false).
  bool ShowLineBreaks() const { return showLineBreaks_; }
  void SetShowLineBreaks(bool value) { showLineBreaks_ = value; }
  // Words of the SQL keyword list come out as tkKeyword (default true).
  bool FindKeywords() const { return findKeywords_; }
  void SetFindKeywords(bool value) { findKeywords_ = value; }

  // The next token of any type with its start position and line; tkEnd at the end.
  virtual TZTokenType ReadToken(int& position, int& line, std::string& token);
  // As ReadToken, dropping the comments and line breaks that the options hide, and unquoting
  // strings when KeepQuotes is cleared.
  virtual TZTokenType NextToken(int& position, int& line, std::string& token);
  virtual std::string QuoteText(std::string_view text) const;
  virtual std::string UnquoteText(std::string_view text) const;

  virtual bool IsLetter(char c) const;
  virtual bool IsDigit(char c) const;
  virtual bool IsDelimiter(char c) const;
  virtual bool IsBlank(char c) const;
  virtual bool IsLineEnd(char c) const;
  virtual bool IsQuote(char c) const;

 protected:
  bool AtEnd() const { return position_ > buffer_.size(); }
  // The character offset places after the next unread one; '\0' beyond the end.
  char Peek(std::size_t offset = 0) const;
  // Moves the next character into token.
  void Take(std::string& token) { token += buffer_[position_++ - 1]; }
  void NewLine() { ++line_; }

  // NextToken, telling through passedOver whether it dropped a comment or a line break on the
  // way, which separates the tokens around it as a blank does.
  TZTokenType NextTokenPassing(int& position, int& line, std::string& token, bool& passedOver);

  // Skips tabs and spaces, reports where the token starts and takes its first character.
  // Returns the type when that already decides it (tkEnd, tkLf, tkCr), nothing otherwise.
  std::optional<TZTokenType> ReadFirstChar(int& position, int& line, std::string& token);
  TZTokenType SetLastType(TZTokenType type) { return lastType_ = type; }

 private:
  std::string buffer_;
  std::size_t position_ = 1;
  std::size_t line_ = 1;
  TZTokenType lastType_ = tkEnd;
  bool showComments_ = false;
  bool keepQuotes_ = true;
  bool showLineBreaks_ = false;
  bool findKeywords_ = true;
};

}  // namespace tabulix
