#include "engine/replace.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <string>
#include <vector>

#include "engine/bytescan.h"

namespace varnex {
namespace {

struct RecordingContext : ReplaceContext {
  bool caseSensitive = false;
  int eventRounds = 0;
  std::vector<std::pair<std::string, std::string>> changes;
  // Runs between replacements, like a click handled while events are processed.
  std::function<void(RecordingContext&)> onEvents;

  bool CaseSensitive() override { return caseSensitive; }
  void ProcessPendingEvents() override {
    ++eventRounds;
    if (onEvents) onEvents(*this);
  }
  void TextChanged(std::string_view findText, std::string_view replaceText) override {
    changes.emplace_back(findText, replaceText);
  }
};

// The routine written plainly: fold both texts whole, then walk the matches.
std::string ReferenceReplace(const std::string& text, const std::string& find, const std::string& replace,
                             bool caseSensitive) {
  if (text.empty() || find == replace || find.empty()) return text;
  auto fold = [&](std::string s) {
    if (!caseSensitive)
      for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
  };
  const std::string haystack = fold(text);
  const std::string needle = fold(find);
  std::string result;
  std::size_t rest = 0;
  for (std::size_t p = haystack.find(needle); p != std::string::npos; p = haystack.find(needle, rest)) {
    result += text.substr(rest, p - rest) + replace;
    rest = p + find.size();
  }
  return result + text.substr(rest);
}

TEST(ReplaceOccurrences, FollowsTheLeftToRightRules) {
  struct Case {
    const char* text;
    const char* find;
    const char* replace;
    bool caseSensitive;
    const char* expected;
  };
  const Case cases[] = {
      {"", "a", "b", false, ""},
      {"aaaa", "aa", "b", true, "bb"},
      {"aaa", "aa", "b", true, "ba"},
      {"a", "a", "aa", true, "aa"},                 // the inserted text is not searched again
      {"ABC aBc abc", "abc", "x", false, "x x x"},
      {"Abcd", "abc", "x", false, "xd"},
      {"ABC", "abc", "x", true, "ABC"},
      {"xAx", "a", "", false, "xx"},                // the text around keeps its case
      {"abcabc tail", "abc", "", true, " tail"},   // deleting at the very start
      {"l1\r\nl2\r\nl3\r\n", "1\r\nl", "-", true, "l-2\r\nl3\r\n"},
      {"\xE9t\xC9", "\xE9", "e", false, "et\xC9"},  // accented capitals are not folded
      {"Ab ab", "ab", "ab", false, "Ab ab"},        // equal texts: nothing at all happens
      {"text", "", "x", false, "text"},
      {"short", "longer than the text", "x", false, "short"},
  };
  for (const Case& c : cases) {
    RecordingContext context;
    context.caseSensitive = c.caseSensitive;
    EXPECT_EQ(ReplaceOccurrences(c.text, c.find, c.replace, false, context), c.expected)
        << "text '" << c.text << "' find '" << c.find << "'";
    EXPECT_TRUE(context.changes.empty());
  }
}

TEST(ReplaceOccurrences, LogsOnceWhenTheTextChanged) {
  RecordingContext context;
  EXPECT_EQ(ReplaceOccurrences("x x x x x x x x x x", "x", "yy", true, context), "yy yy yy yy yy yy yy yy yy yy");
  ASSERT_EQ(context.changes.size(), 1u);
  EXPECT_EQ(context.changes[0], std::make_pair(std::string("x"), std::string("yy")));
  EXPECT_EQ(context.eventRounds, 10);

  // One occurrence replaced by itself in another case: the result equals the text.
  RecordingContext same;
  EXPECT_EQ(ReplaceOccurrences("ABC", "abc", "ABC", true, same), "ABC");
  EXPECT_TRUE(same.changes.empty());
  EXPECT_EQ(same.eventRounds, 1);

  RecordingContext differs;
  EXPECT_EQ(ReplaceOccurrences("abc ABC", "abc", "ABC", true, differs), "ABC ABC");
  EXPECT_EQ(differs.changes.size(), 1u);

  RecordingContext untouched;
  ReplaceOccurrences("nothing here", "abc", "x", true, untouched);
  ReplaceOccurrences("", "abc", "x", true, untouched);
  EXPECT_TRUE(untouched.changes.empty());
  EXPECT_EQ(untouched.eventRounds, 0);
}

TEST(ReplaceOccurrences, ReadsTheCaseOptionBeforeEverySearch) {
  // The option is switched while events are processed after the first
  // replacement; the search that preceded that round used the old setting.
  RecordingContext context;
  context.caseSensitive = true;
  context.onEvents = [](RecordingContext& c) { c.caseSensitive = false; };
  EXPECT_EQ(ReplaceOccurrences("ab AB ab AB", "ab", "x", false, context), "x AB x x");
}

TEST(ReplaceOccurrences, MatchesTheStraightforwardRoutineOnRandomTexts) {
  // Small alphabets make overlaps and near misses common; long texts cross the
  // folding window's edges.
  std::mt19937 random(20261207);
  const std::string alphabet = "aAbB\r\n\xE9\xC9";
  auto make = [&](std::size_t size) {
    std::string s(size, ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 400; ++round) {
    const std::size_t size = round % 10 == 0 ? 70000 + random() % 70000 : random() % 200;
    const std::string text = make(size);
    const std::string find = make(1 + random() % 4);
    const std::string replace = make(random() % 4);
    const bool caseSensitive = random() % 2 == 0;
    RecordingContext context;
    context.caseSensitive = caseSensitive;
    const std::string expected = ReferenceReplace(text, find, replace, caseSensitive);
    ASSERT_EQ(ReplaceOccurrences(text, find, replace, true, context), expected) << "round " << round;
    ASSERT_EQ(ReplaceOccurrencesOwned(std::string(text), find, replace, true, context), expected) << "round " << round;
  }
}

// A whole file passes through the routine: when nothing is replaced it comes
// back as it is, without a copy.
TEST(ReplaceOccurrences, HandsAnOwnedTextBackWhenNothingIsReplaced) {
  const std::string big(1 << 20, 'a');
  for (const auto& [find, replace, same] : {std::tuple{"b", "c", true}, std::tuple{"a", "a", true},
                                            std::tuple{"aa", "b", false}}) {
    std::string text = big;
    const char* before = text.data();
    RecordingContext context;
    const std::string result = ReplaceOccurrencesOwned(std::move(text), find, replace, true, context);
    EXPECT_EQ(result.data() == before, same) << find;
    EXPECT_EQ(result.size(), same ? big.size() : big.size() / 2) << find;
  }
}

TEST(FindBytes, FindsEveryPositionAndNothingPastTheEnd) {
  std::string text(100, '.');
  for (std::size_t at = 0; at + 3 <= text.size(); ++at) {
    std::string probe = text;
    probe.replace(at, 3, "x-y");
    EXPECT_EQ(FindBytes(probe, "x-y"), at);
    EXPECT_EQ(FindBytes(probe, "x-y", at + 1), npos);
    EXPECT_EQ(FindBytes(probe, "x"), at);
  }
  EXPECT_EQ(FindBytes("abc", "abcd"), npos);
  EXPECT_EQ(FindBytes("abc", ""), npos);
  EXPECT_EQ(FindBytes("abc", "c", 4), npos);
  EXPECT_EQ(FindBytes(std::string_view("a\0b", 3), std::string_view("\0b", 2)), 1u);
}

TEST(FoldAsciiCase, FoldsOnlyTheAsciiCapitals) {
  std::string all(256, 0);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
  std::string folded(all.size(), 0);
  FoldAsciiCase(all.data(), all.size(), folded.data());
  for (int i = 0; i < 256; ++i) {
    const int expected = (i >= 'A' && i <= 'Z') ? i + 32 : i;
    EXPECT_EQ(static_cast<unsigned char>(folded[i]), expected) << i;
  }
}

}  // namespace
}  // namespace varnex
