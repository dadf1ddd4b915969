#include "pickers/dirrows.h"

#include <gtest/gtest.h>

#include <strings.h>

namespace varnex {
namespace {

// A code page where 0x81 begins a double-byte character, as in Shift JIS.
bool LeadIs81(unsigned char c) { return c == 0x81; }

TEST(DirRows, DrivePart) {
  const struct {
    const char* path;
    const char* drive;
  } cases[] = {
      {"C:\\Windows", "C:"},
      {"d:", "d:"},
      {"C:", "C:"},
      {"\\\\server\\share\\dir\\sub", "\\\\server\\share"},
      {"\\\\server\\share\\", "\\\\server\\share"},
      {"\\\\server\\share", "\\\\server\\share"},
      {"\\\\server", "\\\\server"},
      {"\\Windows", ""},
      {"Windows", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DrivePart(c.path), c.drive) << c.path;
}

TEST(DirRows, JoinPathAndLastComponent) {
  EXPECT_EQ(JoinPath("C:\\", "Windows"), "C:\\Windows");
  EXPECT_EQ(JoinPath("C:\\Windows", "System"), "C:\\Windows\\System");
  EXPECT_EQ(JoinPath("", "*.*"), "*.*");
  EXPECT_EQ(JoinPath("\\\\server\\share", "*.*"), "\\\\server\\share\\*.*");

  const struct {
    const char* path;
    const char* last;
  } cases[] = {
      {"C:\\Data\\notes.txt", "notes.txt"}, {"C:notes.txt", "notes.txt"}, {"Sub", "Sub"},
      {"C:\\", ""},                         {"D:", ""},                   {"\\dir", "dir"},
  };
  for (const auto& c : cases) EXPECT_EQ(LastComponent(c.path), c.last) << c.path;
  // 0x81 0x5C is one character: its second byte is no separator.
  EXPECT_EQ(LastComponent("C:\\a\x81\\b", LeadIs81), "a\x81\\b");
  EXPECT_EQ(LastComponent("C:\\a\x81\\b"), "b");
}

TEST(DirRows, DirectoryLevel) {
  const struct {
    const char* path;
    int level;
  } cases[] = {
      {"C:\\", 1},
      {"C:\\Windows", 2},
      {"C:\\Windows\\", 2},
      {"C:\\Windows\\System\\Drivers", 4},
      {"\\\\server\\share", 1},
      {"\\\\server\\share\\", 1},
      {"\\\\server\\share\\dir", 2},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(DirectoryLevel(c.path), c.level) << c.path;
  EXPECT_EQ(DirectoryLevel("C:\\x\x81\\y", LeadIs81), 2);
  EXPECT_EQ(DirectoryLevel("C:\\x\x81\\y"), 3);
}

using Rows = std::vector<DirectoryRow>;

TEST(DirRows, AncestorRowsOfDrivesAndShares) {
  const struct {
    const char* directory;
    Rows rows;
  } cases[] = {
      {"C:\\", {{"C:\\", fkCurrent}}},
      {"C:\\Windows", {{"C:\\", fkOpen}, {"Windows", fkCurrent}}},
      {"C:\\Windows\\System", {{"C:\\", fkOpen}, {"Windows", fkOpen}, {"System", fkCurrent}}},
      {"\\\\server\\share\\a", {{"\\\\server\\share\\", fkOpen}, {"a", fkCurrent}}},
      {"\\\\server\\share\\a\\b", {{"\\\\server\\share\\", fkOpen}, {"a", fkOpen}, {"b", fkCurrent}}},
      {"\\\\server\\share", {{"\\\\server\\share\\", fkCurrent}}},
  };
  for (const auto& c : cases) EXPECT_EQ(AncestorRows(c.directory), c.rows) << c.directory;
}

TEST(DirRows, IndentsStepFourPixelsAndSubdirectoriesSitOneStepRightOfTheCurrentRow) {
  const struct {
    const char* directory;
    std::vector<int> indents;  // the rows of the directory, then one subdirectory
  } cases[] = {
      {"C:\\", {4, 8}},
      {"C:\\Windows\\System", {4, 8, 12, 16}},
      {"\\\\server\\share\\a", {4, 8, 12}},
  };
  for (const auto& c : cases) {
    Rows rows = AncestorRows(c.directory);
    rows.push_back({"sub", fkClosed});
    std::vector<int> indents;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) indents.push_back(RowIndent(rows, i, c.directory));
    EXPECT_EQ(indents, c.indents) << c.directory;
  }
}

TEST(DirRows, ItemPaths) {
  const struct {
    const char* directory;
    std::vector<const char*> paths;  // rows, then subdirectory "sub", then one past the end
  } cases[] = {
      {"C:\\Windows\\System\\Drivers",
       {"C:\\", "C:\\Windows", "C:\\Windows\\System", "C:\\Windows\\System\\Drivers",
        "C:\\Windows\\System\\Drivers\\sub", ""}},
      {"C:\\", {"C:\\", "C:\\sub", ""}},
      {"\\\\server\\share\\a\\b",
       {"\\\\server\\share\\", "\\\\server\\share\\a", "\\\\server\\share\\a\\b", "\\\\server\\share\\a\\b\\sub", ""}},
  };
  for (const auto& c : cases) {
    Rows rows = AncestorRows(c.directory);
    rows.push_back({"sub", fkClosed});
    for (int i = 0; i < static_cast<int>(c.paths.size()); ++i) {
      EXPECT_EQ(GetItemPath(c.directory, rows, i), c.paths[i]) << c.directory << " row " << i;
    }
    EXPECT_EQ(GetItemPath(c.directory, rows, -1), "");
  }
  // A separator hidden in a double-byte name does not cut the ancestor short.
  const std::string directory = "C:\\a\x81\\b\\c";
  const Rows rows = {{"C:\\", fkOpen}, {"a\x81\\b", fkOpen}, {"c", fkCurrent}};
  EXPECT_EQ(GetItemPath(directory, rows, 1, LeadIs81), "C:\\a\x81\\b");
}

int IgnoringCase(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()); }

TEST(DirRows, SubdirectoriesSortedIgnoringCaseFirstOfEqualNamesKept) {
  const struct {
    std::vector<std::string> offered;
    std::vector<std::string> listed;
  } cases[] = {
      {{"cherry", "Banana", "apple"}, {"apple", "Banana", "cherry"}},
      {{"Apple", "apple", "APPLE", "b"}, {"Apple", "b"}},
      {{"b", "a", "B", "c", "A"}, {"a", "b", "c"}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> sorted;
    for (const std::string& name : c.offered) InsertSortedUnique(sorted, name, IgnoringCase);
    EXPECT_EQ(sorted, c.listed);
  }
}

TEST(DirRows, DriveEntryTexts) {
  const struct {
    int index;
    TNewTextCase textCase;
    unsigned type;
    const char* name;
    const char* text;
  } cases[] = {
      {0, tcUpperCase, 2, "IGNORED", "A:"},
      {2, tcUpperCase, 3, "SYSTEM", "C: SYSTEM"},
      {3, tcUpperCase, 5, "", "D: "},
      {23, tcUpperCase, 4, "\\\\SERVER\\SHARE", "X: \\\\SERVER\\SHARE"},
      {0, tcLowerCase, 2, "", "a:"},
      {2, tcLowerCase, 3, "system", "c: system"},
      {25, tcLowerCase, 0, "", "z: "},
      {6, tcLowerCase, 6, "ram", "g: ram"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DriveEntryText(DriveLetter(c.index, c.textCase), c.type, c.name), c.text);
  }
}

TEST(DirRows, EveryDriveLetterInBothCases) {
  for (int index = 0; index < 26; ++index) {
    EXPECT_EQ(DriveLetter(index, tcUpperCase), 'A' + index) << index;
    EXPECT_EQ(DriveLetter(index, tcLowerCase), 'a' + index) << index;
  }
  // Only a-z have a capital here; the bytes next to them and accented letters do not.
  for (int code = 0; code < 256; ++code) {
    const char c = static_cast<char>(code);
    EXPECT_EQ(AsciiUpper(c), code >= 'a' && code <= 'z' ? static_cast<char>(code - 32) : c) << code;
  }
  // Each drive keeps the folder it was left in; network paths have no drive.
  DriveFolders folders;
  for (const char* directory : {"C:\\Work", "z:\\tmp\\a", "\\\\server\\share\\x", "C:\\", "?:\\"}) folders.Remember(directory);
  EXPECT_EQ(folders.For('c'), "C:\\");
  EXPECT_EQ(folders.For('Z'), "z:\\tmp\\a");
  EXPECT_EQ(folders.For('D'), "");
  EXPECT_EQ(folders.For('\\'), "");
}

}  // namespace
}  // namespace varnex
