#include "engine/textlines.h"

#include <gtest/gtest.h>

#include <random>

namespace varnex {
namespace {

using Lines = std::vector<std::string_view>;

// The line model written plainly, one byte at a time.
Lines ReferenceSplit(std::string_view bytes) {
  Lines lines;
  std::size_t start = 0, at = 0;
  for (; at < bytes.size() && bytes[at] != '\0'; ++at) {
    if (bytes[at] != '\r' && bytes[at] != '\n') continue;
    lines.push_back(bytes.substr(start, at - start));
    if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') ++at;
    start = at + 1;
  }
  if (start < at) lines.push_back(bytes.substr(start, at - start));
  return lines;
}

std::string ReferenceNormal(std::string_view bytes) {
  std::string normal;
  for (std::string_view line : ReferenceSplit(bytes)) normal.append(line).append("\r\n");
  return normal;
}

void ExpectLikeTheReference(std::string_view bytes, const std::string& what) {
  const std::size_t nul = bytes.find('\0');
  ASSERT_EQ(TextBeforeNul(bytes), bytes.substr(0, nul)) << what;
  ASSERT_EQ(SplitLines(bytes), ReferenceSplit(bytes)) << what;
  const std::string normal = ReferenceNormal(bytes);
  ASSERT_EQ(NormalizeLineEnds(bytes), normal) << what;
  ASSERT_EQ(NormalizeLineEndsOwned(std::string(bytes)), normal) << what;
  // With just the room to grow where it lies.
  std::string roomy(bytes);
  roomy.reserve(normal.size());
  ASSERT_EQ(NormalizeLineEndsOwned(std::move(roomy)), normal) << what << ", with room";
}

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
      {"a\r\n\0"sv, {"a"}},  // the only NUL is the last byte
      {"a\rb\0"sv, {"a", "b"}},
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
    ExpectLikeTheReference(bytes, testing::PrintToString(bytes));
  }
}

// The scanner takes 64 bytes at a time and the rest one by one: each kind of
// line end, and a NUL, at every position of a text three blocks and a bit long,
// in every view that cuts the text short (a view's end is the text's end,
// whatever follows it in memory).
TEST(TextLines, ScannerAgreesWithTheReferenceAtEveryPosition) {
  const std::string_view specials[] = {"\r", "\n", "\r\n", "\n\r", std::string_view("\0", 1),
                                       std::string_view("\0\r\n", 3), std::string_view("\r\0", 2)};
  constexpr std::size_t kSize = 3 * 64 + 5;
  std::string line(kSize, ' ');
  for (std::size_t i = 0; i < kSize; ++i) line[i] = static_cast<char>('a' + i % 26);
  for (std::size_t i = 0; i < kSize; i += 9) line[i] = i % 2 ? '\n' : '\r';  // line ends on both sides
  for (const std::string_view special : specials) {
    for (std::size_t at = 0; at + special.size() <= kSize; ++at) {
      std::string bytes = line;
      bytes.replace(at, special.size(), special);
      const std::string what = testing::PrintToString(std::string(special)) + " at " + std::to_string(at);
      ExpectLikeTheReference(bytes, what);
      ExpectLikeTheReference(std::string_view(bytes).substr(0, at), what + ", cut there");
      ExpectLikeTheReference(std::string_view(bytes).substr(0, at + 1), what + ", cut after");
    }
  }
}

// A NUL at the first, a middle, the block-boundary and the last position ends
// the text there, and text cut at a NUL is never handed back as it is.
TEST(TextLines, NulEndsTheTextWherever) {
  struct Case {
    std::size_t size;
    std::size_t nul;
  };
  const Case cases[] = {{100, 0},  {100, 37}, {200, 63}, {200, 64}, {200, 65}, {200, 127},
                        {200, 128}, {128, 127}, {64, 63}, {65, 64}, {10, 9},  {1, 0}};
  for (const Case& c : cases) {
    std::string bytes;
    while (bytes.size() < c.size) bytes += "line\r\n";
    bytes.resize(c.size);
    bytes[c.nul] = '\0';
    std::string_view kept = std::string_view(bytes).substr(0, c.nul);
    EXPECT_EQ(TextBeforeNul(bytes), kept) << c.size << " " << c.nul;
    EXPECT_EQ(NormalizeLineEndsOwned(std::string(bytes)), ReferenceNormal(kept)) << c.size << " " << c.nul;
    EXPECT_EQ(SplitLines(bytes), ReferenceSplit(kept)) << c.size << " " << c.nul;
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
    // The same with a last line that has no line end of its own.
    const std::string open = NormalizeLineEnds(bytes + "last");
    EXPECT_LE(open.capacity(), open.size() + 16) << testing::PrintToString(ending) << ", open last line";
    const std::string openOwned = NormalizeLineEndsOwned(bytes + "last");
    EXPECT_LE(openOwned.capacity(), openOwned.size() + 16) << testing::PrintToString(ending) << ", open last line";

    std::string owned = bytes;
    const char* before = owned.data();
    const std::string result = NormalizeLineEndsOwned(std::move(owned));
    EXPECT_EQ(result, normal);
    EXPECT_EQ(result.data() == before, ending == "\r\n") << testing::PrintToString(ending);
    // Also from memory with far more room than a text read would have.
    std::string spacious;
    spacious.reserve(2 * bytes.size());
    spacious.append(bytes);
    before = spacious.data();
    EXPECT_EQ(NormalizeLineEndsOwned(std::move(spacious)).data() == before, ending == "\r\n")
        << testing::PrintToString(ending);
    // Text read with room for its line ends grows where it lies.
    std::string roomy;
    roomy.reserve(open.size());
    roomy.append(bytes).append("last");
    before = roomy.data();
    const std::string grown = NormalizeLineEndsOwned(std::move(roomy));
    EXPECT_EQ(grown, open);
    EXPECT_EQ(grown.data(), before) << testing::PrintToString(ending);
  }
  // Text that ends without a line end, or at a NUL, is not in shape even
  // when its length happens to be that of its shape.
  EXPECT_EQ(NormalizeLineEndsOwned(std::string("a\n\0", 3)), "a\r\n");
  EXPECT_EQ(NormalizeLineEndsOwned(std::string("a\r\n\0", 4)), "a\r\n");
  EXPECT_EQ(NormalizeLineEndsOwned("a\r\nb"), "a\r\nb\r\n");
}

}  // namespace
}  // namespace varnex
