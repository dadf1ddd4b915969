#include "engine/leftout.h"

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

}  // namespace
}  // namespace varnex
