#include "framework/settings.h"

#include <gtest/gtest.h>

#include "engine/error.h"
#include "framework/handle.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

TEST(SettingsStore, ReadsAsTheProfileFunctionsDo) {
  TempFolder folder;
  const SettingsStore missing(folder / "settings.ini");
  EXPECT_EQ(missing.Read("Options", "CS"), "");
  EXPECT_EQ(GetFileAttributesA(missing.Path().c_str()), INVALID_FILE_ATTRIBUTES);

  WriteFileBytes(folder / "settings.ini", "[options]\r\nfilemask=  *.txt;*.md  \r\nDirectory='C:\\a b'\r\n"
                                         "SubDirectories=\r\nLong=" + std::string(3000, 'x') + "\r\n");
  const SettingsStore store(folder / "settings.ini");
  EXPECT_EQ(store.Read("Options", "FileMask"), "*.txt;*.md");
  EXPECT_EQ(store.Read("OPTIONS", "directory"), "C:\\a b");
  EXPECT_EQ(store.Read("Options", "SubDirectories"), "");
  EXPECT_EQ(store.Read("Options", "Long"), std::string(2047, 'x'));
  EXPECT_EQ(store.Read("Other", "FileMask"), "");
}

TEST(SettingsStore, WritesOneKeyAndLeavesTheRestAlone) {
  TempFolder folder;
  const SettingsStore store(folder / "settings.ini");
  store.Write("Options", "CS", BooleanText(true));
  store.Write("Options", "FileMask", "");
  store.Write("Options", "CS", BooleanText(false));
  EXPECT_EQ(store.Read("Options", "CS"), "False");
  EXPECT_EQ(store.Read("Options", "FileMask"), "");
  const std::string bytes = ReadFileBytes(store.Path());
  EXPECT_NE(bytes.find("[Options]"), std::string::npos);
  EXPECT_NE(bytes.find("CS=False"), std::string::npos);
  EXPECT_EQ(bytes.find("CS=True"), std::string::npos);
}

TEST(SettingsStore, AFailedWriteNamesTheFile) {
  TempFolder folder;
  const std::string held = folder / "held.ini";
  WriteFileBytes(held, "[Options]\r\nCS=False\r\n");
  // Held by another program without sharing: as good as read-only for a writer.
  const FileHandle holder(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  for (const std::string& path : {held, folder / "no folder\\settings.ini"}) {
    const SettingsStore store(path);
    try {
      store.Write("Options", "CS", "True");
      ADD_FAILURE() << "writing " << path << " should fail";
    } catch (const Error& failure) {
      EXPECT_EQ(std::string(failure.what()), "Unable to write to " + path);
    }
  }
  EXPECT_EQ(SettingsStore(held).Read("Options", "CS"), "False");
}

}  // namespace
}  // namespace varnex
