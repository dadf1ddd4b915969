#include "engine/lineends.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct CaseOption final : ReplaceContext {
  bool caseSensitive = true;
  bool CaseSensitive() override { return caseSensitive; }
  void ProcessPendingEvents() override {}
  void TextChanged(std::string_view, std::string_view) override {}
};

// LF, mixed, CR and CR LF files with one- and two-line texts, byte for byte:
// the lines no occurrence touches keep their line ends, the replace text's
// line breaks take the file's prevailing one.
TEST(ReplaceKeepingLineEnds, KeepsEveryLineEndNoOccurrenceTook) {
  const struct {
    const char* text;
    const char* find;
    const char* replace;
    const char* expected;  // nullptr: no change
  } cases[] = {
      {"one\ntwo cat\nthree\n", "cat", "dog", "one\ntwo dog\nthree\n"},
      {"one\ntwo cat\nthree\n", "cat", "big\r\ndog", "one\ntwo big\ndog\nthree\n"},
      {"one\ntwo cat\nthree\n", "cat\r\nthree", "x", "one\ntwo x\n"},
      {"a cat\r\nb\nc cat\rd", "cat", "dog", "a dog\r\nb\nc dog\rd"},
      {"a cat\r\nb\nc cat\rd", "cat\r\nb", "1\r\n2", "a 1\r\n2\nc cat\rd"},
      {"a\rcat\r", "cat", "b\nc", "a\rb\rc\r"},
      {"x cat\r\ny\r\n", "cat", "big\ndog", "x big\r\ndog\r\ny\r\n"},
      {"cat", "cat", "dog", "dog"},
      {"one\ntwo\n", "cat", "dog", nullptr},
      {"one\nCAT\n", "cat", "CAT", nullptr},  // replaced with itself, its case folded
  };
  CaseOption context;
  context.caseSensitive = false;
  const std::unique_ptr<Matcher> matcher = MakeLiteralMatcher();
  for (const auto& c : cases) {
    std::string result = "untouched";
    const bool changed = ReplaceKeepingLineEnds(c.text, *matcher, {c.find, c.replace}, context, result);
    EXPECT_EQ(changed, c.expected != nullptr) << c.text << " / " << c.find;
    EXPECT_EQ(result, c.expected != nullptr ? c.expected : "untouched") << c.text << " / " << c.find;
  }
}

TEST(ReplaceKeepingLineEnds, TellsWhichFilesTheLineModelWouldRewrite) {
  using namespace std::literals;
  const std::pair<std::string_view, bool> texts[] = {
      {"a\r\nb\r\n", false}, {"a\r\nb", false}, {"a\nb\r\n", true}, {"a\rb", true}, {"a\r\n\0\n"sv, false}};
  for (const auto& [text, lone] : texts) EXPECT_EQ(HoldsLoneLineBreak(text), lone) << text;
  EXPECT_EQ(PrevailingLineEnd(LineEndsOf("a\nb\nc\r\n")), "\n");
  EXPECT_EQ(PrevailingLineEnd(LineEndsOf("a\nb\r\n")), "\r\n");
  EXPECT_EQ(PrevailingLineEnd(LineEndsOf("a\rb\rc\n")), "\r");
}

}  // namespace
}  // namespace varnex
