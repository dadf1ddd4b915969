#include "engine/textlines.h"

#include <gtest/gtest.h>

#include <random>

namespace varnex {
namespace {

using Lines = std::vector<std::string_view>;

TEST(TextLines, SplitsAtEveryKindOfLineEnd) {
  struct Case {
    std::string_view bytes;
    Lines lines;
  };
  using namespace std::string_view_literals;
  const Case cases[] = {
      {""sv, {}},
      {"one"sv, {"one"}},
      {"one\r\n"sv, {"one"}},
      {"a\r\nb\nc\rd"sv, {"a", "b", "c", "d"}},
      {"a\n\rb"sv, {"a", "", "b"}},  // LF CR is two line ends
      {"\r\n\r\n"sv, {"", ""}},
      {"\r\r\n"sv, {"", ""}},
      {"a\r"sv, {"a"}},
      {"kept\0dropped\r\nlines"sv, {"kept"}},
      {"\0after"sv, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitLines(c.bytes), c.lines) << testing::PrintToString(std::string(c.bytes));
  }
  EXPECT_EQ(JoinLines(Lines{"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(JoinLines(Lines{}), "");
}

TEST(TextLines, NormalizingIsSplittingAndJoining) {
  std::mt19937 random(7);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\r', '\n', '\0', 'x'};
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % (round % 50 == 0 ? 5000 : 40), ' ');
    for (char& c : bytes) c = alphabet[random() % (round % 3 == 0 ? 8 : 6)];
    ASSERT_EQ(NormalizeLineEnds(bytes), JoinLines(SplitLines(bytes))) << testing::PrintToString(bytes);
  }
}

}  // namespace
}  // namespace varnex
