#include "filelist/searchpatterns.h"

#include <gtest/gtest.h>

#include <ostream>

namespace varnex {

void PrintTo(const SearchPattern& pattern, std::ostream* out) {
  *out << '{' << pattern.folder << " | " << pattern.mask << '}';
}

namespace {

TEST(SearchPatterns, FolderPartEndsAtTheLastBackslashOrColon) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"C:\\docs\\*.txt", "C:\\docs\\"},
      {"C:*.txt", "C:"},
      {"C:\\docs\\", "C:\\docs\\"},
      {"\\\\server\\share\\a?.log", "\\\\server\\share\\"},
      {"*.txt", ""},
      {"", ""},
      {"a:b\\c:d", "a:b\\c:"},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(FolderPart(path), folder) << path;
}

TEST(SearchPatterns, SplitsMasksIntoTheFolderOfThePatternBefore) {
  using Patterns = std::vector<SearchPattern>;
  const std::pair<std::string_view, Patterns> cases[] = {
      {"C:\\d\\*.txt", {{"C:\\d\\", "*.txt"}}},
      {"C:\\d\\*.txt;*.*", {{"C:\\d\\", "*.txt"}, {"C:\\d\\", "*.*"}}},
      // A space after ";" belongs to the mask.
      {"C:\\d\\*.txt; *.log", {{"C:\\d\\", "*.txt"}, {"C:\\d\\", " *.log"}}},
      // A ";" at the end adds nothing; two in a row give an empty mask.
      {"C:\\d\\*.txt;", {{"C:\\d\\", "*.txt"}}},
      {"C:\\d\\*.txt;;*.ini", {{"C:\\d\\", "*.txt"}, {"C:\\d\\", ""}, {"C:\\d\\", "*.ini"}}},
      {"C:\\d\\a;;", {{"C:\\d\\", "a"}, {"C:\\d\\", ""}}},
      // A piece with a folder of its own moves the pieces after it there.
      {"C:\\d\\*.txt;sub\\*.c;*.h", {{"C:\\d\\", "*.txt"}, {"C:\\d\\sub\\", "*.c"}, {"C:\\d\\sub\\", "*.h"}}},
      {"C:\\d\\*.txt;E:\\x\\*.c;*.h", {{"C:\\d\\", "*.txt"}, {"C:\\d\\E:\\x\\", "*.c"}, {"C:\\d\\E:\\x\\", "*.h"}}},
      // Without a folder part the masks stay relative; an empty text is one empty pattern.
      {"*.txt;*.ini", {{"", "*.txt"}, {"", "*.ini"}}},
      {"", {{"", ""}}},
      {";", {{"", ""}}},
      {"C:\\d\\", {{"C:\\d\\", ""}}},
  };
  for (const auto& [text, patterns] : cases) EXPECT_EQ(SplitSearchFile(text), patterns) << text;
}

}  // namespace
}  // namespace varnex
