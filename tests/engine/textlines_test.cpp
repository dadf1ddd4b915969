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
    const std::string expected = JoinLines(SplitLines(bytes));
    ASSERT_EQ(NormalizeLineEnds(bytes), expected) << testing::PrintToString(bytes);
    ASSERT_EQ(NormalizeLineEndsOwned(std::string(bytes)), expected) << testing::PrintToString(bytes);
  }
}

// A file's text may be as big as memory allows: normalising takes only the
// room the result needs, and hands back text already in shape as it is.
TEST(TextLines, NormalizingTakesNoMoreMemoryThanTheResultNeeds) {
  for (const std::string ending : {"\n", "\r", "\n\r", "\r\n"}) {
    std::string bytes;
    for (int line = 0; line < 100000; ++line) bytes += "line" + ending;
    const std::string normal = NormalizeLineEnds(bytes);
    EXPECT_LE(normal.capacity(), normal.size() + 16) << testing::PrintToString(ending);

    std::string owned = bytes;
    const char* before = owned.data();
    const std::string result = NormalizeLineEndsOwned(std::move(owned));
    EXPECT_EQ(result, normal);
    EXPECT_EQ(result.data() == before, ending == "\r\n") << testing::PrintToString(ending);
  }
  // Text that ends without a line end, or at a NUL, is not in shape even
  // when its length happens to be that of its shape.
  EXPECT_EQ(NormalizeLineEndsOwned(std::string("a\n\0", 3)), "a\r\n");
  EXPECT_EQ(NormalizeLineEndsOwned("a\r\nb"), "a\r\nb\r\n");
}

}  // namespace
}  // namespace varnex
