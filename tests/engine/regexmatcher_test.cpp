#include "engine/regexmatcher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/replacetemplate.h"

namespace varnex {
namespace {

struct CountingContext : ReplaceContext {
  bool caseSensitive = true;
  int eventRounds = 0;
  int changes = 0;
  bool CaseSensitive() override { return caseSensitive; }
  void ProcessPendingEvents() override { ++eventRounds; }
  void TextChanged(std::string_view, std::string_view) override { ++changes; }
};

std::string Replaced(std::string_view text, std::string_view find, std::string_view replace, bool unicode = false,
                     bool caseSensitive = true) {
  CountingContext context;
  context.caseSensitive = caseSensitive;
  std::string result = "(unchanged)";
  MakeRegexMatcher()->ReplaceInto(text, {find, replace, unicode}, context, result);
  return result;
}

TEST(RegexMatcher, ReplacesAsPerlPatternsDo) {
  struct Case {
    std::string text, find, replace;
    bool unicode, caseSensitive;
    std::string expected;
  };
  const std::string e = "\xC3\xA9", E = "\xC3\x89";  // é and É in UTF-8
  const Case cases[] = {
      // The replace text's syntax.
      {"on 2024-05-17.", R"((\d{4})-(\d{2})-(\d{2}))", "$3.$2.$1", false, true, "on 17.05.2024."},
      {"2024-05-17", R"((?<y>\d+)-(?<m>\d+)-(?<d>\d+))", "${d}/${m}/${y} ${1}0", false, true, "17/05/2024 20240"},
      {"abcdefghij", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", "$10$1$11", false, true, "jaa1"},
      {"ab", "(a)(b)", R"(\2\1 $& $$1 $7|\n\r\t\\\$ C:\docs $)", false, true, "ba ab $1 |\n\r\t\\$ C:\\docs $"},
      // Lines: ^ and $ at every line end of every kind, '.' none of them.
      {"a\r\nb\nc\rd", "^", ">", false, true, ">a\r\n>b\n>c\r>d"},
      {"a\r\nb\nc\rd", "$", "<", false, true, "a<\r\nb<\nc<\rd<"},
      {"a\r\nb\nc", "a.b|b.c", "-", false, true, "(unchanged)"},
      {"a\r\nb\nc", "(?s)a..b", "-", false, true, "-\nc"},
      {"x\r\ny\nx\ry", "x\r\ny", "-", false, true, "-\n-"},
      // Empty matches: each place once, and the walk moves on.
      {"ab cd", "\\b", "|", false, true, "|ab| |cd|"},
      {"axbx", "(?=x)", "-", false, true, "a-xb-x"},
      {"axb", "x*", "-", false, true, "-a--b-"},
      // The case option: ASCII folding in ANSI text, Unicode's in UTF-8.
      {"ABC abc \xC9\xE9", "abc|\xE9", "x", false, false, "x x \xC9x"},
      {"ABC abc " + E + e, "abc|" + e, "x", true, false, "x x xx"},
      {"\xCE\xA3\xCF\x82\xCF\x83 K \xE2\x84\xAA", "\xCF\x83|k", "s", true, false, "sss s s"},
      {"ABC", "abc", "x", true, true, "(unchanged)"},
      // A character is a code point in UTF-8, a byte in ANSI; a stray byte
      // is a character of its own.
      {e + "\xFF" + e, "^.(.).$", "[$1]", true, true, "[\xFF]"},
      {e, "^..$", "2", false, true, "2"},
      {"\xE2\x82\xAC x", "\\w", "w", true, true, "\xE2\x82\xAC w"},
      {"\xCE\xB1\xCE\xB2 1_", "\\w+", "w", true, true, "w w"},
      // A value quoted into a pattern matches itself.
      {"C:\\docs\\a+b.txt C:\\docs\\aab.txt", QuotePatternText("C:\\docs\\a+b.txt"),
       QuoteReplaceText("$1 D:\\"), false, true, "$1 D:\\ C:\\docs\\aab.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Replaced(c.text, c.find, c.replace, c.unicode, c.caseSensitive), c.expected)
        << c.text << " / " << c.find << " / " << c.replace;
  }
}

TEST(RegexMatcher, RefusesBadPatternsWithWhereTheFaultIs) {
  struct Case {
    const char* find;
    const char* replace;
    const char* message;
  };
  const Case cases[] = {
      {R"((\d{4})-(\d{2})", "", "The find text is not a valid regular expression: Missing ')' at position 15"},
      {"ab)", "", "The find text is not a valid regular expression: Found a closing ) with no corresponding "
                  "opening parenthesis at position 3"},
      {"\xC3\xA9\xC3\xA9[", "", "The find text is not a valid regular expression: Character set declaration "
                                "starting with [ terminated prematurely - either no ] was found or the set had no "
                                "content at position 4"},
      {"*a", "", "The find text is not a valid regular expression: The repeat operator \"*\" cannot start a "
                 "regular expression at position 1"},
      {"(?<y>a)", "${z}", "The replace text names a group the find text does not have: z"},
  };
  for (const Case& c : cases) {
    try {
      CheckRegularExpression(c.find, c.replace);
      ADD_FAILURE() << c.find << " was taken";
    } catch (const Error& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
  EXPECT_NO_THROW(CheckRegularExpression("(?<y>a)$fullfilename\r\n", "${y}$1$9"));
}

// A pattern that backtracks without end fails its text, pending events let
// through while it tries; an honest search as long is no runaway.
TEST(RegexMatcher, StopsARunawaySearchButNotALongOne) {
  const std::string as(40, 'a');
  for (const bool unicode : {false, true}) {
    CountingContext context;
    std::string result;
    const auto matcher = MakeRegexMatcher();
    EXPECT_THROW(matcher->ReplaceInto("x" + as + "b", {"(a|aa)+$", "", unicode}, context, result), RunawaySearch);
    // Bytes are few enough for Boost's own count of states to stop them first.
    if (unicode) {
      EXPECT_GT(context.eventRounds, 4);
    }
    const std::string words = [] {
      std::string text;
      while (text.size() < (2u << 20)) text += "alpha beta gamma-delta\r\n";
      return text;
    }();
    EXPECT_EQ(matcher->Find(words, {"\\w+q|(?s)a.{0,3}z", "", unicode}, context, [](MatchSpan) {}).count, 0u);
  }
}

// The preview counts what the run replaces, place for place; a pattern that
// cannot match the empty text, tried only where its first character stands,
// matches as Boost's own walk finds it (the pattern made to look as if it
// could match the empty text takes that walk).
TEST(RegexMatcher, FindsWhereItReplacesOnRandomTexts) {
  const std::string patterns[] = {"a+", "^", "$", "b*", "\\b", "(?=a)", "(a|b)\\1", "^.*$", "\\r?\\n", "(?i)A.",
                                  "\xC3\xA9|.\\b", "ab|\\n", "[^a]b", "(?<=a)b", "\\bA\\w", "\\s\\S"};
  std::mt19937 random(36);
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const std::string letters[] = {"a", "b", "A", " ", "\r\n", "\n", "\r", "\xC3\xA9", "\xE9"};
    for (int i = random() % 24; i > 0; --i) text += letters[random() % std::size(letters)];
    const bool unicode = random() % 2 != 0;
    const std::string& pattern = patterns[random() % std::size(patterns)];
    const MatchTexts texts{pattern, "<$&>", unicode};
    CountingContext context;
    const auto matcher = MakeRegexMatcher();
    std::string expected;
    std::size_t copied = 0;
    const Occurrences found = matcher->Find(text, texts, context, [&](MatchSpan span) {
      expected += text.substr(copied, span.offset - copied) + "<" + text.substr(span.offset, span.length) + ">";
      copied = span.offset + span.length;
    });
    expected += text.substr(copied);
    std::string result = text, walked = text;
    EXPECT_EQ(matcher->ReplaceInto(text, texts, context, result), found.count > 0);
    EXPECT_EQ(result, expected) << pattern << " in " << text;
    const std::string mayBeEmpty = "(?:" + pattern + ")|(?!)";
    matcher->ReplaceInto(text, {mayBeEmpty, "<$&>", unicode}, context, walked);
    EXPECT_EQ(walked, expected) << pattern << " in " << text;
  }
}

// A step back lands where a walk forward from the start stood, whatever the bytes.
TEST(Utf8Cursor, StepsBackOverWhatItSteppedForward) {
  std::mt19937 random(7);
  SearchBudget budget([] {});
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    const unsigned char pool[] = {'a', 0x80, 0xA9, 0xBF, 0xC3, 0xE2, 0x82, 0xED, 0xA0, 0xF0, 0x9F, 0xF4, 0x90, 0xFF};
    for (int i = random() % 12; i > 0; --i) bytes += static_cast<char>(pool[random() % std::size(pool)]);
    const char* begin = bytes.data();
    const char* end = begin + bytes.size();
    std::vector<const char*> forward;
    for (Utf8Cursor c(begin, begin, end, &budget); c.Position() != end; ++c) forward.push_back(c.Position());
    Utf8Cursor c(end, begin, end, &budget);
    for (auto at = forward.rbegin(); at != forward.rend(); ++at) EXPECT_EQ((--c).Position(), *at);
  }
}

}  // namespace
}  // namespace varnex
