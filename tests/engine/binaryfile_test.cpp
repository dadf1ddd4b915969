#include "engine/binaryfile.h"

#include <gtest/gtest.h>

#include <string>

namespace varnex {
namespace {

using namespace std::string_literals;

TEST(LooksBinary, ANulMarksABinaryFileUnlessTheBytesAreUtf16Text) {
  const std::pair<std::string, bool> cases[] = {
      {"", false}, {"plain text\r\n", false}, {"\x7F" "ELF\2\1\1\0\0\0"s, true},
      {std::string(10000, 'a') + "\0"s, true},  // late
      {"hello\0world"s, true},                  // one NUL: no UTF-16
      {"\xFF\xFEh\0i\0"s, false}, {"\xFE\xFF\0h\0i"s, false}, {"\xFF\xFEh\0\0\0"s, true},  // marked; a NUL unit
      {"h\0e\0l\0l\0o\0"s, false}, {"\0h\0e\0l\0l\0o"s, false},  // without a mark
      {"h\0\xAC\x20\0\0"s, true}, {"\xEF\xBB\xBFx\0y\0"s, true}, {"h\0i\0j"s, true},  // both sides, UTF-8, odd
      {"\x01\x02\x03\0\x05\x06\x07\x08"s, true},  // too few NULs for text
  };
  for (const auto& [bytes, binary] : cases) EXPECT_EQ(LooksBinary(bytes), binary) << bytes.size() << " bytes";
}

}  // namespace
}  // namespace varnex
