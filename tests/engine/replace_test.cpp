#include "engine/replace.h"

#include <gtest/gtest.h>

#include <cctype>
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
    // A lent buffer gives its memory, never its old contents.
    EXPECT_EQ(ReplaceOccurrences(c.text, c.find, c.replace, false, context, "stale text"), c.expected)
        << "text '" << c.text << "' find '" << c.find << "' with a lent buffer";
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
  // Small alphabets make overlaps and near misses common; long texts take the
  // search through many of its steps.
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
    std::string into = "untouched";
    const bool replaced = ReplaceOccurrencesInto(text, find, replace, true, context, into);
    ASSERT_EQ(replaced ? into : text, expected) << "round " << round;
    ASSERT_EQ(replaced, expected != text) << "round " << round;
    RecordingContext owned;
    owned.caseSensitive = caseSensitive;
    ASSERT_EQ(ReplaceOccurrencesOwned(std::string(text), find, replace, true, owned), expected) << "round " << round;
    // Logged exactly when the text changed, however it was replaced.
    ASSERT_EQ(owned.changes.size(), expected != text ? 1u : 0u) << "round " << round;
    // Found without replacing: the same places, the same change.
    RecordingContext looked;
    looked.caseSensitive = caseSensitive;
    std::string rebuilt;
    std::size_t rest = 0;
    const Occurrences occurrences = FindOccurrences(text, find, replace, looked, [&](std::size_t at) {
      rebuilt += text.substr(rest, at - rest) + replace;
      rest = at + find.size();
    });
    rebuilt += text.substr(rest);
    ASSERT_EQ(rebuilt, expected) << "round " << round;
    ASSERT_EQ(occurrences.changesText, expected != text) << "round " << round;
    ASSERT_EQ(occurrences.count, static_cast<std::size_t>(looked.eventRounds)) << "round " << round;
  }
}

// The search rules out 64 starting places at a time, then 16, and looks at the
// last few one by one: an occurrence may start at any of them, end in the next
// step's bytes or end the text. The find texts are made of the letters at the
// ends of A-Z and a-z, one of them longer than a step; the texts around them
// of every byte.
TEST(ReplaceOccurrences, FindsEveryOccurrenceWhereverTheSearchsStepsEnd) {
  std::string filler(400, ' ');
  for (std::size_t i = 0; i < filler.size(); ++i) filler[i] = static_cast<char>((i * 7) % 256);
  const std::string finds[] = {"Z", "zA", "aZz", "ZazA", "AzZaz", "zzzzzzzzzzzzzzzzZ", filler.substr(100, 70)};
  for (const std::string& find : finds) {
    std::string flipped = find;
    for (char& c : flipped) c = std::isalpha(static_cast<unsigned char>(c)) ? static_cast<char>(c ^ 0x20) : c;
    for (std::size_t size = find.size(); size <= 2 * 64 + 16 + find.size() + 2; ++size) {
      for (std::size_t at = 0; at + find.size() <= size; ++at) {
        std::string text = filler.substr(0, size);
        text.replace(at, find.size(), flipped);
        RecordingContext context;
        ASSERT_EQ(ReplaceOccurrences(text, find, "#", false, context), ReferenceReplace(text, find, "#", false))
            << find << " at " << at << " of " << size;
      }
    }
  }
}

// A whole file passes through the routine: when nothing is replaced, nothing
// is copied and the result is left as it was.
TEST(ReplaceOccurrences, CopiesNothingWhenNothingIsReplaced) {
  const std::string big(1 << 20, 'a');
  for (const auto& [find, replace, same] : {std::tuple{"b", "c", true}, std::tuple{"a", "a", true},
                                            std::tuple{"aa", "b", false}}) {
    std::string result = "before";
    RecordingContext context;
    EXPECT_EQ(ReplaceOccurrencesInto(big, find, replace, true, context, result), !same) << find;
    EXPECT_EQ(result.size(), same ? 6 : big.size() / 2) << find;
    EXPECT_EQ(context.changes.size(), same ? 0u : 1u) << find;
  }
}

// A whole file passes through the routine: when nothing is replaced, or the
// replacement cannot make it grow, it comes back in its own memory, without a
// copy; only a growing replacement takes new memory.
TEST(ReplaceOccurrences, HandsAnOwnedTextBackWhenNothingIsReplaced) {
  const std::string big(1 << 20, 'a');
  const struct {
    const char* find;
    const char* replace;
    bool same;  // the result in the text's own memory
    std::size_t size;
    std::size_t logged;
  } cases[] = {
      {"b", "c", true, big.size(), 0},      {"a", "a", true, big.size(), 0},
      {"aa", "b", true, big.size() / 2, 1}, {"A", "b", true, big.size(), 1},
      {"A", "a", true, big.size(), 0},      {"a", "bb", false, big.size() * 2, 1},
  };
  for (const auto& c : cases) {
    std::string text = big;
    const char* before = text.data();
    RecordingContext context;
    const std::string result = ReplaceOccurrencesOwned(std::move(text), c.find, c.replace, true, context);
    EXPECT_EQ(result.data() == before, c.same) << c.find;
    EXPECT_EQ(result.size(), c.size) << c.find;
    EXPECT_EQ(context.changes.size(), c.logged) << c.find;
    if (c.logged == 1) {
      EXPECT_EQ(context.changes[0], std::make_pair(std::string(c.find), std::string(c.replace)));
    }
    EXPECT_EQ(result, ReferenceReplace(big, c.find, c.replace, false)) << c.find;
  }
}

// Against the standard search: needles made of the bytes at the edges of the
// signed and unsigned ranges, placed at every position of texts that end
// inside, at and after the 16- and 64-position blocks, searched from before, at
// and after their place. A near miss (last byte off) stands in front of each.
TEST(FindBytes, AgreesWithThePlainSearchAcrossEveryBlockBoundary) {
  const char edges[] = {'\0', '\x01', '@', 'A', 'Z', '[', '`', 'a', 'z', '{', '\x7F', '\x80', '\xFF', '\n'};
  const std::size_t sizes[] = {1, 2, 5, 15, 16, 17, 31, 47, 63, 64, 65, 66, 79, 80, 81, 127, 128, 129, 130, 200};
  std::size_t checks = 0;
  for (std::size_t length = 1; length <= 5; ++length) {
    std::string needle(length, ' ');
    for (std::size_t i = 0; i < length; ++i) needle[i] = edges[(length * 3 + i * 5) % std::size(edges)];
    std::string nearMiss = needle;
    nearMiss.back() = static_cast<char>(nearMiss.back() ^ 0x01);
    for (const std::size_t size : sizes) {
      if (size < length) continue;
      for (std::size_t at = 0; at + length <= size; ++at) {
        std::string text(size, '.');
        for (std::size_t i = 0; i < size; ++i) text[i] = edges[(i * 7 + length) % std::size(edges)];
        if (at >= length) text.replace(at - length, length, nearMiss);
        text.replace(at, length, needle);
        const std::string_view view(text);
        for (const std::size_t from : {std::size_t{0}, at > 0 ? at - 1 : 0, at, at + 1}) {
          ASSERT_EQ(FindBytes(view, needle, from), view.find(needle, from))
              << "length " << length << " size " << size << " at " << at << " from " << from;
          ++checks;
        }
      }
    }
  }
  EXPECT_GT(checks, 10000u);
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

// Every byte at every position of texts whose ends fall in the byte-by-byte
// tail after none, one and two 16-byte chunks.
TEST(FoldAsciiCase, FoldsTheTailAsTheVectorisedPart) {
  for (std::size_t size = 0; size <= 48; ++size) {
    for (int shift = 0; shift < 256; ++shift) {
      std::string source(size, 0);
      for (std::size_t i = 0; i < size; ++i) source[i] = static_cast<char>((shift + i * 17) % 256);
      std::string folded(size, 0);
      FoldAsciiCase(source.data(), size, folded.data());
      for (std::size_t i = 0; i < size; ++i) {
        const int c = static_cast<unsigned char>(source[i]);
        ASSERT_EQ(static_cast<unsigned char>(folded[i]), (c >= 'A' && c <= 'Z') ? c + 32 : c)
            << "byte " << c << " at " << i << " of " << size;
      }
    }
  }
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
