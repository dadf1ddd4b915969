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
}

// Paths counted in UTF-16 units (a character past U+FFFF is two); lines of a
// message cut to their start and file name, no character in halves.
TEST(LeftOut, OverlongPathsAreRefusedAndShortenedInTheirMiddle) {
  std::string smiles;
  for (int i = 0; i < 16383; ++i) smiles += "\xF0\x9F\x98\x80";
  EXPECT_TRUE(FitsLongestPath(std::string(32767, 'a')) && FitsLongestPath(smiles + "a"));
  EXPECT_FALSE(FitsLongestPath(std::string(32768, 'a')) || FitsLongestPath(smiles + "\xC3\xA9\xC3\xA9"));
  const std::tuple<std::string, std::string> cut[] = {
      {"x" + smiles.substr(0, 80) + "\\" + std::string(10, 'n'), "x" + smiles.substr(0, 44) + "...\\" + std::string(10, 'n')},
      {std::string(100, 'a'), std::string(27, 'a') + "..." + std::string(30, 'a')},
  };
  for (const auto& [text, shortened] : cut) EXPECT_EQ(ShortenedInMiddle(text, 60), shortened);
}

}  // namespace
}  // namespace varnex
