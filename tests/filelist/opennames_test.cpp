#include "filelist/opennames.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

using Files = std::vector<std::string>;
using namespace std::string_view_literals;

TEST(PickedFiles, ReadsOnePathOrAFolderWithNames) {
  EXPECT_EQ(PickedFiles("C:\\docs\\a.txt\0\0"sv), Files{"C:\\docs\\a.txt"});
  EXPECT_EQ(PickedFiles("C:\\docs\0b.txt\0a.txt\0\0"sv), (Files{"C:\\docs\\b.txt", "C:\\docs\\a.txt"}));
  EXPECT_EQ(PickedFiles("C:\\\0a.txt\0b & c.txt\0\0"sv), (Files{"C:\\a.txt", "C:\\b & c.txt"}));
  EXPECT_EQ(PickedFiles("\0\0"sv), Files{});
  EXPECT_EQ(PickedFiles("Z:\\x\0y"sv), Files{"Z:\\x\\y"});  // a buffer cut without its final NULs
}

}  // namespace
}  // namespace varnex
