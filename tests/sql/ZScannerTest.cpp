#include "sql/ZScanner.h"

#include <gtest/gtest.h>

#include "ScannerTokens.h"

#include <string>
#include <utility>
#include <vector>

namespace tabulix {
namespace {

using test::ReadAll;
using test::Tokens;

TEST(TZScanner, DefaultsAndSetText) {
  TZScanner scanner;
  EXPECT_FALSE(scanner.ShowComments());
  EXPECT_TRUE(scanner.KeepQuotes());
  EXPECT_FALSE(scanner.ShowLineBreaks());
  EXPECT_TRUE(scanner.FindKeywords());
  scanner.SetText("a\r\nb");
  EXPECT_EQ(scanner.Buffer(), "a\r\nb");
  EXPECT_EQ(scanner.BufferLength(), 4);
  EXPECT_EQ(scanner.Position(), 1);
  EXPECT_EQ(scanner.Line(), 1);
  EXPECT_EQ(scanner.LastType(), tkEnd);
}

TEST(TZScanner, GeneralRules) {
  TZScanner scanner;
  Tokens want = {{tkWord, "a.b"},    {tkOperator, "+"},  {tkInteger, "12ab"}, {tkFloat, "3.5"},
                 {tkBracket, "("},   {tkSeparator, ";"}, {tkString, "'x\"'"}, {tkString, "\"it\""},
                 {tkOperator, "@"},  {tkCr, "\r"},       {tkLf, "\n"},        {tkWord, "w"},
                 {tkString, "'open"}};
  EXPECT_EQ(ReadAll(scanner, "a.b + 12ab 3.5(; 'x\"'\"it\" @\r\nw 'open"), want);
}

TEST(TZScanner, StringsHaveNoEscapes) {
  TZScanner scanner;
  Tokens want = {{tkString, "'a\\'"}, {tkWord, "b"}, {tkString, "'"}};
  EXPECT_EQ(ReadAll(scanner, "'a\\'b'"), want);
}

TEST(TZScanner, PositionsAndLines) {
  TZScanner scanner;
  scanner.SetText("ab  cd\r\n ef");
  int position = 0, line = 0;
  std::string token;
  scanner.ReadToken(position, line, token);
  EXPECT_EQ(position, 1);
  scanner.ReadToken(position, line, token);
  EXPECT_EQ(token, "cd");
  EXPECT_EQ(position, 5);
  EXPECT_EQ(scanner.Position(), 7);
  EXPECT_EQ(scanner.ReadToken(position, line, token), tkCr);
  EXPECT_EQ(line, 1);
  EXPECT_EQ(scanner.Line(), 2);
  scanner.ReadToken(position, line, token);  // line feed
  scanner.ReadToken(position, line, token);
  EXPECT_EQ(token, "ef");
  EXPECT_EQ(position, 10);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(scanner.ReadToken(position, line, token), tkEnd);
  EXPECT_EQ(token, "");
  EXPECT_EQ(scanner.LastType(), tkEnd);
  EXPECT_EQ(scanner.ReadToken(position, line, token), tkEnd);
}

TEST(TZScanner, NextTokenFiltersByOptions) {
  TZScanner scanner;
  scanner.SetText("a\r\n'q'");
  int position = 0, line = 0;
  std::string token;
  EXPECT_EQ(scanner.NextToken(position, line, token), tkWord);
  EXPECT_EQ(scanner.NextToken(position, line, token), tkString);
  EXPECT_EQ(token, "'q'");

  scanner.SetShowLineBreaks(true);
  scanner.SetKeepQuotes(false);
  scanner.SetText("a\r\n'q'");
  scanner.NextToken(position, line, token);
  EXPECT_EQ(scanner.NextToken(position, line, token), tkCr);
  EXPECT_EQ(scanner.NextToken(position, line, token), tkLf);
  EXPECT_EQ(scanner.NextToken(position, line, token), tkString);
  EXPECT_EQ(token, "q");
}

TEST(TZScanner, QuoteAndUnquote) {
  TZScanner scanner;
  EXPECT_EQ(scanner.QuoteText("a'b\"c"), "\"a'b\"c\"");
  EXPECT_EQ(scanner.UnquoteText("\"abc\""), "abc");
  EXPECT_EQ(scanner.UnquoteText("'abc"), "abc");
  EXPECT_EQ(scanner.UnquoteText("abc'"), "abc'");
  EXPECT_EQ(scanner.UnquoteText("'"), "");
  EXPECT_EQ(scanner.UnquoteText(""), "");
}

TEST(TZScanner, CharacterClasses) {
  TZScanner scanner;
  const std::string delimiters = ":;,+-<>/*%^=()[]|&~@#$\\`{}!? \t\n\r";
  for (int i = 0; i < 256; ++i) {
    const char c = static_cast<char>(i);
    const bool delimiter = delimiters.find(c) != std::string::npos && c != '\0';
    EXPECT_EQ(scanner.IsDelimiter(c), delimiter) << i;
    EXPECT_EQ(scanner.IsDigit(c), c >= '0' && c <= '9') << i;
    EXPECT_EQ(scanner.IsLetter(c), i >= 32 && !delimiter && !(c >= '0' && c <= '9')) << i;
  }
  EXPECT_FALSE(scanner.IsDelimiter('.'));
  EXPECT_FALSE(scanner.IsDelimiter('\''));
  EXPECT_TRUE(scanner.IsBlank('\n'));
  EXPECT_FALSE(scanner.IsBlank('\r'));
  EXPECT_TRUE(scanner.IsLineEnd('\r'));
  EXPECT_TRUE(scanner.IsQuote('"'));
  EXPECT_FALSE(scanner.IsQuote('`'));
}

}  // namespace
}  // namespace tabulix
