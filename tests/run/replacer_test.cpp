#include "run/replacer.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

// Whether a whole file's text changed, by either form the run uses; the case
// option asked, and events let through once something is replaced.
TEST(Replacer, TellsWhetherAWholeFileTextChanged) {
  struct Case {
    const char* what;
    bool owned;  // the text given up
    bool caseSensitive;
    const char* text;
    const char* find;
    const char* replace;
    const char* expected;
    bool changed;
    bool replaced;  // something found and replaced, the same text or not
  };
  const Case cases[] = {
      {"kept, changed", false, true, "a-b-a", "a", "x", "x-b-x", true, true},
      {"kept, nothing found", false, true, "a-b-a", "c", "x", "a-b-a", false, false},
      {"case option asked", false, false, "A-b-a", "a", "x", "x-b-x", true, true},
      {"case option asked, exact", false, true, "A-b-a", "a", "x", "A-b-x", true, true},
      // Replaced, but the same text: no change to write.
      {"replaced with itself", false, false, "ABC", "abc", "ABC", "ABC", false, true},
      {"given up, changed", true, true, "a-b-a", "b", "yy", "a-yy-a", true, true},
      {"given up, nothing found", true, true, "a-b-a", "c", "yy", "a-b-a", false, false},
  };
  for (const Case& c : cases) {
    int eventRounds = 0;
    Replacer replacer(MakeLiteralMatcher(), [&] { return c.caseSensitive; }, [&] { ++eventRounds; });
    std::string result = c.text;
    const MatchTexts texts{c.find, c.replace};
    const bool changed = c.owned ? replacer.ReplaceStrOwned(std::string(c.text), texts, result)
                                 : replacer.ReplaceStrInto(c.text, texts, result);
    EXPECT_EQ(changed, c.changed) << c.what;
    EXPECT_EQ(result, c.expected) << c.what;
    EXPECT_EQ(eventRounds > 0, c.replaced) << c.what;
  }
}

TEST(Replacer, ExpandsVariablesWithTheCaseOption) {
  bool caseSensitive = false;
  Replacer replacer(MakeLiteralMatcher(), [&] { return caseSensitive; }, [] {});
  EXPECT_EQ(replacer.ExpandVariables("$FILE in $filedir", "C:\\docs\\report.txt"), "report in C:\\docs");
  caseSensitive = true;
  EXPECT_EQ(replacer.ExpandVariables("$FILE in $filedir", "C:\\docs\\report.txt"), "$FILE in C:\\docs");
}

}  // namespace
}  // namespace varnex
