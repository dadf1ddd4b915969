#include "framework/settings.h"

#include <gtest/gtest.h>

#include "engine/encoding.h"
#include "engine/error.h"
#include "framework/handle.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::NamesIn;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

TEST(SettingsStore, ReadsAsTheProfileFunctionsDo) {
  TempFolder folder;
  const SettingsStore missing(folder / "settings.ini");
  EXPECT_EQ(missing.Read("Options", "CS"), "");
  EXPECT_EQ(GetFileAttributesA(missing.Path().c_str()), INVALID_FILE_ATTRIBUTES);

  WriteFileBytes(folder / "settings.ini", "[options]\r\nfilemask=  *.txt;*.md  \r\nDirectory='C:\\a b'\r\n"
                                         "SubDirectories=\r\nLong=" + std::string(3000, 'x') + "\r\nAccented=Caf\xE9\r\n");
  const SettingsStore store(folder / "settings.ini");
  EXPECT_EQ(store.Read("Options", "FileMask"), "*.txt;*.md");
  EXPECT_EQ(store.Read("OPTIONS", "directory"), "C:\\a b");
  EXPECT_EQ(store.Read("Options", "SubDirectories"), "");
  EXPECT_EQ(store.Read("Options", "Long"), std::string(2047, 'x'));
  EXPECT_EQ(store.Read("Options", "Accented"), "Caf\xC3\xA9");
  EXPECT_EQ(store.Read("Other", "FileMask"), "");
}

// Names in any script, as a folder may have.
const std::string kAnyNames = "C:\\\u041E\u0442\u0447\u0451\u0442\\\u65E5\u672C\u8A9E\\smile\U0001F600";

std::string Utf16LeWithMark(std::string_view utf8) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : Utf16FromUtf8(utf8)) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// The file stays in the ANSI code page, byte for byte, while every value has
// a form there; the first that has not turns it into UTF-16 with its mark,
// which the profile functions keep from then on.
TEST(SettingsStore, WritesOneKeyAndLeavesTheRestAlone) {
  TempFolder folder;
  const SettingsStore store(folder / "settings.ini");
  store.Write("Options", "CS", BooleanText(true));
  store.Write("Options", "FileMask", "");
  store.Write("Options", "CS", BooleanText(false));
  store.Write("Options", "Directory", "C:\\Caf\xC3\xA9");
  EXPECT_EQ(store.Read("Options", "CS"), "False");
  EXPECT_EQ(store.Read("Options", "FileMask"), "");
  EXPECT_EQ(store.Read("Options", "Directory"), "C:\\Caf\xC3\xA9");
  const std::string ansi = "[Options]\r\nCS=False\r\nFileMask=\r\nDirectory=C:\\Caf\xE9\r\n";
  EXPECT_EQ(ReadFileBytes(store.Path()), ansi);

  ASSERT_TRUE(SetFileAttributesA(store.Path().c_str(), FILE_ATTRIBUTE_HIDDEN));
  store.Write("Options", "Directory", kAnyNames);
  store.Write("Options", "CS", BooleanText(true));
  EXPECT_TRUE(GetFileAttributesA(store.Path().c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(SettingsStore(store.Path()).Read("Options", "Directory"), kAnyNames);
  EXPECT_EQ(ReadFileBytes(store.Path()),
            Utf16LeWithMark("[Options]\r\nCS=True\r\nFileMask=\r\nDirectory=" + kAnyNames + "\r\n"));
  EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"settings.ini"});
  // UTF-8 with its mark, which the profile functions read and write as it is.
  WriteFileBytes(store.Path(), "\xEF\xBB\xBF[Options]\r\nFileMask=*.txt\r\nDirectory=C:\\Caf\xC3\xA9\r\n");
  store.Write("Options", "Directory", kAnyNames);
  EXPECT_EQ(store.Read("Options", "FileMask"), "*.txt");
  EXPECT_EQ(store.Read("Options", "Directory"), kAnyNames);
}

TEST(SettingsStore, AFailedWriteNamesTheFile) {
  TempFolder folder;
  const std::string held = folder / "held.ini";
  WriteFileBytes(held, "[Options]\r\nCS=False\r\n");
  // Held by another program without sharing: as good as read-only for a writer.
  const FileHandle holder(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  const std::string readOnly = folder / "read-only.ini";  // left as it is, as Windows does (Wine lets us write it)
  WriteFileBytes(readOnly, "[Options]\r\nCS=False\r\n");
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  for (const std::string& path : {held, readOnly, folder / "no folder\\settings.ini"}) {
    const SettingsStore store(path);
    for (const std::string& value : {std::string("True"), kAnyNames}) {
      try {
        store.Write("Options", "CS", value);
        ADD_FAILURE() << "writing " << path << " should fail";
      } catch (const Error& failure) {
        EXPECT_EQ(std::string(failure.what()), "Unable to write to " + path);
      }
    }
  }
  for (const std::string& path : {held, readOnly}) EXPECT_EQ(ReadFileBytes(path), "[Options]\r\nCS=False\r\n");
  EXPECT_TRUE(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(NamesIn(folder.Path()), (std::vector<std::string>{"held.ini", "read-only.ini"}));
}

}  // namespace
}  // namespace varnex
