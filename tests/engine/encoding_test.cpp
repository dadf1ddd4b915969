#include "engine/encoding.h"

#include <gtest/gtest.h>

#include <random>

namespace varnex {
namespace {

using enum TextEncoding;
using namespace std::string_literals;

TEST(Encoding, IsDecidedByTheMarkThenByUtf8ValidityElseAnsi) {
  const struct {
    std::string bytes;
    TextEncoding encoding;
  } cases[] = {
      {"", kAnsi},
      {"plain ASCII\r\n", kAnsi},
      {"caf\xC3\xA9", kUtf8},
      {"caf\xE9", kAnsi},                       // an ANSI accent
      {"\xE2\x82\xAC 5", kUtf8},               // the euro sign
      {"\xF0\x9F\x98\x80", kUtf8},             // beyond the first plane
      {"\xC0\x80", kAnsi},                     // an overlong NUL
      {"\xED\xA0\x80", kAnsi},                 // a surrogate
      {"\xF4\x90\x80\x80", kAnsi},             // beyond U+10FFFF
      {"\xC3", kAnsi},                         // cut short
      {"ok \xC3\xA9 then \xE9", kAnsi},        // valid at first only
      {"\xEF\xBB\xBFmarked", kUtf8WithMark},
      {"\xEF\xBB\xBF\xE9", kUtf8WithMark},     // the mark decides
      {"\xFF\xFE" "A\0"s, kUtf16Le},
      {"\xFE\xFF\0A"s, kUtf16Be},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectEncoding(c.bytes), c.encoding) << testing::PrintToString(c.bytes);
}

TEST(Encoding, Utf16BecomesUtf8AndComesBackByteForByte) {
  const struct {
    std::string file;  // little endian, mark included
    std::string text;
  } cases[] = {
      {"\xFF\xFE"s, ""},
      {"\xFF\xFE" "A\0\r\0\n\0"s, "A\r\n"},
      {"\xFF\xFE\xE9\0"s, "\xC3\xA9"},
      {"\xFF\xFE" "A\0\xE9\0" "B\0"s, "A\xC3\xA9" "B"},  // ASCII up to a character beyond it
      {"\xFF\xFE\xAC\x20"s, "\xE2\x82\xAC"},
      {"\xFF\xFE\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80"},  // a surrogate pair
      {"\xFF\xFE\x3D\xD8" "A\0"s, "\xED\xA0\xBD" "A"},     // a lone high surrogate
      {"\xFF\xFE\x00\xDE\x3D\xD8"s, "\xED\xB8\x80\xED\xA0\xBD"},  // low before high: two lone ones
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.file));
    EXPECT_EQ(DecodeFileText(c.file, kUtf16Le), c.text);
    EXPECT_EQ(EncodeFileText(c.text, kUtf16Le), c.file);
    std::string bigEndian = c.file;
    for (std::size_t at = 0; at + 1 < bigEndian.size(); at += 2) std::swap(bigEndian[at], bigEndian[at + 1]);
    EXPECT_EQ(DecodeFileText(bigEndian, kUtf16Be), c.text);
    EXPECT_EQ(EncodeFileText(c.text, kUtf16Be), bigEndian);
  }

  // Any sequence of code units but NUL, surrogates and line ends included.
  std::mt19937 random(13);
  const char16_t alphabet[] = {u'a', u'Z', u'\r', u'\n', 0xE9, 0x20AC, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xFFFF, 0x7F, 0x80};
  for (int round = 0; round < 500; ++round) {
    std::string file = "\xFF\xFE";
    for (std::size_t i = random() % 60; i > 0; --i) {
      const char16_t unit = alphabet[random() % std::size(alphabet)];
      file += static_cast<char>(unit & 0xFF);
      file += static_cast<char>(unit >> 8);
    }
    ASSERT_EQ(EncodeFileText(DecodeFileText(file, kUtf16Le), kUtf16Le), file) << testing::PrintToString(file);
  }
}

TEST(Encoding, Utf8LosesOnlyItsMarkWhileReplacingAndAnsiStaysAsItIs) {
  EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF" "a\xC3\xA9", kUtf8WithMark), "a\xC3\xA9");
  EXPECT_EQ(EncodeFileText("a\xC3\xA9", kUtf8WithMark), "\xEF\xBB\xBF" "a\xC3\xA9");
  for (TextEncoding encoding : {kAnsi, kUtf8}) {
    EXPECT_EQ(DecodeFileText("a\xE9\r\n", encoding), "a\xE9\r\n");
    EXPECT_EQ(EncodeFileText("a\xE9\r\n", encoding), "a\xE9\r\n");
  }
}

TEST(Encoding, ANulWhereTheEncodingAllowsNoneMakesItNoText) {
  const struct {
    std::string bytes;
    TextEncoding encoding;
    bool text;
  } cases[] = {
      {"abc", kAnsi, true},
      {"ab\0c"s, kAnsi, false},
      {"abc\0"s, kUtf8, false},
      {"\0abc"s, kUtf8WithMark, false},
      {"\xFF\xFE" "A\0B\0"s, kUtf16Le, true},     // NUL bytes, but no NUL unit
      {"\xFF\xFE\0\x01"s, kUtf16Le, true},
      {"\xFF\xFE" "A\0\0\0"s, kUtf16Le, false},   // a NUL unit at the end
      {"\xFE\xFF\0\0\0A"s, kUtf16Be, false},      // and at the start
      {"\xFF\xFE" "A\0B"s, kUtf16Le, false},      // an odd byte left over
  };
  for (const auto& c : cases) EXPECT_EQ(IsTextIn(c.bytes, c.encoding), c.text) << testing::PrintToString(c.bytes);
}

}  // namespace
}  // namespace varnex
