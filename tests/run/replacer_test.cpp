#include "run/replacer.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct MemoryFile : LogStorage {
  std::string bytes;
  std::optional<std::string> Load() override { return std::nullopt; }
  void Rewrite(std::string_view data) override { bytes = data; }
  void Append(std::string_view data) override { bytes += data; }
};

// The log line a logged change adds, after the start line.
std::string Logged(std::string_view find, std::string_view path, std::string_view replace) {
  return "T - " + std::string(find) + " found in " + std::string(path) + " and replaced to " + std::string(replace);
}

TEST(Replacer, LogsAndMarksOnlyTheChangesItIsToldToLog) {
  struct Case {
    const char* what;
    bool owned;  // the whole-file overload, always logged
    bool logSwitch;
    bool caseSensitive;
    const char* text;
    const char* find;
    const char* replace;
    const char* expected;
    bool changed;
  };
  const Case cases[] = {
      {"logged change", false, true, true, "a-b-a", "a", "x", "x-b-x", true},
      {"unlogged change", false, false, true, "a-b-a", "a", "x", "x-b-x", false},
      {"logged, nothing found", false, true, true, "a-b-a", "c", "x", "a-b-a", false},
      {"case option asked", false, true, false, "A-b-a", "a", "x", "x-b-x", true},
      {"case option asked, exact", false, true, true, "A-b-a", "a", "x", "A-b-x", true},
      {"whole file", true, true, true, "a-b-a", "b", "yy", "a-yy-a", true},
      {"whole file, nothing found", true, true, true, "a-b-a", "c", "yy", "a-b-a", false},
  };
  for (const Case& c : cases) {
    MemoryFile file;
    ActivityLog log(file, [] { return std::string("T"); });
    log.Open();
    int eventRounds = 0;
    Replacer replacer(log, [&] { return c.caseSensitive; }, [&] { ++eventRounds; });
    const std::string_view path = "C:\\f.txt";
    std::string result;
    if (c.owned) {
      result = c.text;
      EXPECT_EQ(replacer.ReplaceStrInto(c.text, c.find, c.replace, path, {c.find, c.replace}, result), c.changed)
          << c.what;
    } else {
      result = replacer.ReplaceStr(c.text, c.find, c.replace, c.logSwitch, path);
    }
    EXPECT_EQ(result, c.expected) << c.what;
    EXPECT_EQ(replacer.FileChanged, c.changed) << c.what;
    std::vector<std::string> lines{"T - Application Started"};
    if (c.changed) lines.push_back(Logged(c.find, path, c.replace));
    EXPECT_EQ(log.Lines(), lines) << c.what;
    // Events are let through as soon as something is replaced.
    const bool found = std::string_view(c.expected) != c.text;
    EXPECT_EQ(eventRounds > 0, found) << c.what;
  }
}

// The text a run gives up for a whole file is logged like the one it keeps.
TEST(Replacer, LogsAWholeFileTextGivenUpToIt) {
  MemoryFile file;
  ActivityLog log(file, [] { return std::string("T"); });
  log.Open();
  Replacer replacer(log, [] { return true; }, [] {});
  EXPECT_EQ(replacer.ReplaceStr(std::string("a-b-a"), "a", "x", "C:\\f.txt", Replacer::TypedTexts{"a", "x"}), "x-b-x");
  EXPECT_TRUE(replacer.FileChanged);
  EXPECT_EQ(log.Lines().back(), Logged("a", "C:\\f.txt", "x"));
}

// A file in another encoding is searched with converted texts; its log line
// holds them as they were typed.
TEST(Replacer, LogsTheTextsAsTyped) {
  MemoryFile file;
  ActivityLog log(file, [] { return std::string("T"); });
  log.Open();
  Replacer replacer(log, [] { return true; }, [] {});
  std::string result;
  EXPECT_TRUE(replacer.ReplaceStrInto("caf\xC3\xA9", "\xC3\xA9", "e", "C:\\f.txt", {"\xE9", "e"}, result));
  EXPECT_EQ(result, "cafe");
  EXPECT_EQ(log.Lines().back(), "T - \xE9 found in C:\\f.txt and replaced to e");
}

TEST(Replacer, ExpandsVariablesWithTheCaseOptionAndWithoutLogging) {
  MemoryFile file;
  ActivityLog log(file, [] { return std::string("T"); });
  log.Open();
  bool caseSensitive = false;
  Replacer replacer(log, [&] { return caseSensitive; }, [] {});
  EXPECT_EQ(replacer.ExpandVariables("$FILE in $filedir", "C:\\docs\\report.txt"), "report in C:\\docs");
  caseSensitive = true;
  EXPECT_EQ(replacer.ExpandVariables("$FILE in $filedir", "C:\\docs\\report.txt"), "$FILE in C:\\docs");
  EXPECT_FALSE(replacer.FileChanged);
  EXPECT_EQ(log.Lines().size(), 1u);
}

}  // namespace
}  // namespace varnex
