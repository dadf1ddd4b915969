#include "engine/leftout.h"
#include "engine/paths.h"

#include <gtest/gtest.h>

#include <tuple>

namespace varnex {
namespace {

TEST(LeftOut, NamesOnlyTheCountsThatHappened) {
  const std::tuple<int, int, int, const char*> cases[] = {
      {0, 0, 0, ""},
      {1204, 3, 0, "1,204 binary files and 3 excluded folders were left out."},
      {1, 0, 0, "1 binary file was left out."},
      {0, 1, 2, "1 excluded folder and 2 excluded files were left out."},
      {1, 1, 1, "1 binary file, 1 excluded folder and 1 excluded file were left out."},
  };
  for (auto [binary, folders, files, text] : cases) EXPECT_EQ(LeftOutText(binary, folders, files), text);
  EXPECT_EQ(SkippedText(0) + SkippedText(1) + SkippedText(1000), "1 binary file was skipped.1,000 binary files were skipped.");
  EXPECT_EQ(NoMatchText("C:\\Work", "*.txt;*.md"), "No files in C:\\Work match *.txt;*.md.");
  EXPECT_EQ(TooLongEntriesText(0) + TooLongEntriesText(1),
            "1 entry of the list was left out: longer than the longest path Windows takes (32,767 characters).");
}

// What a list may hold, counted in UTF-16 units (a character past U+FFFF is
// two), and lines of a message cut to what a box can lay out: the start and
// the file name kept, no character cut in halves.
TEST(LeftOut, OverlongPathsAreRefusedAndShortenedInTheirMiddle) {
  const std::string longest(32767, 'a');
  std::string emoji;
  for (int i = 0; i < 16383; ++i) emoji += "\xF0\x9F\x98\x80";
  const std::tuple<std::string, bool> fits[] = {
      {longest, true}, {longest + "a", false}, {emoji + "a", true}, {emoji + "\xF0\x9F\x98\x80", false}};
  for (const auto& [path, fit] : fits) EXPECT_EQ(FitsLongestPath(path), fit) << path.size();
  const std::string folders = "C:\\" + std::string(100, 'f') + "\\\xC3\xA9" + std::string(100, 'g');
  std::string accents = "x";
  for (int i = 0; i < 40; ++i) accents += "\xC3\xA9";
  const std::tuple<std::string, std::string> cut[] = {
      {"Cannot open file C:\\a.txt\nreason", "Cannot open file C:\\a.txt\nreason"},
      {"Cannot open file " + folders + "\\name.txt.\nreason",
       "Cannot open file " + folders.substr(0, 30) + "...\\name.txt.\nreason"},
      {accents + "\\" + std::string(10, 'n'), accents.substr(0, 45) + "...\\" + std::string(10, 'n')},
      {std::string(100, 'a'), std::string(27, 'a') + "..." + std::string(30, 'a')},
  };
  for (const auto& [text, shortened] : cut) EXPECT_EQ(ShortenedInMiddle(text, 60), shortened);
}

}  // namespace
}  // namespace varnex
