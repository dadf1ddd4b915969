#include "filelist/listfile.h"

#include <gtest/gtest.h>

#include "engine/error.h"
#include "framework/handle.h"
#include "tests/support/failing_filesystem.h"
#include "tests/support/temp_folder.h"
#include "tests/support/main_window.h"

namespace varnex {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;
using Paths = std::vector<std::string>;

class FilenameLists : public testing::MainWindowTest {
 protected:
  void SetUp() override { Start(); }

  // Loads through the window, as the context menu does; failures go to the
  // general error report.
  void Load(const std::string& path) {
    services.fileDialogs.answers.push_back(path);
    SendMessageA(form.Handle(), WM_COMMAND, TMF::kLoadfilelist1, 0);
  }
  void Save(const std::string& path) {
    services.fileDialogs.answers.push_back(path);
    SendMessageA(form.Handle(), WM_COMMAND, TMF::kSavefilelistas1, 0);
  }
  void LoadBytes(std::string_view bytes) {
    WriteFileBytes(folder / "in.list", bytes);
    Load(folder / "in.list");
  }
};

TEST_F(FilenameLists, LoadingReplacesTheListByTheLineModel) {
  using namespace std::string_view_literals;
  struct Case {
    std::string_view bytes;
    Paths entries;
    bool realFiles;
  };
  const Case cases[] = {
      {""sv, {"No files added"}, false},
      {"\r\n"sv, {""}, true},
      {"C:\\a.txt\nC:\\b.txt\rC:\\c.txt"sv, {"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}, true},
      {"C:\\a.txt\r\n\r\nC:\\b.txt\r\n"sv, {"C:\\a.txt", "", "C:\\b.txt"}, true},
      {"No files added\r\nC:\\a.txt\r\n"sv, {"No files added", "C:\\a.txt"}, false},
      {"C:\\a.txt\r\nC:\\b\0.txt\r\nC:\\c.txt\r\n"sv, {"C:\\a.txt", "C:\\b"}, true},
  };
  for (const Case& c : cases) {
    LoadBytes(c.bytes);
    EXPECT_EQ(Entries(), c.entries) << ::testing::PrintToString(std::string(c.bytes));
    EXPECT_EQ(RunEnabled(), c.realFiles);
    EXPECT_EQ(MinusEnabled(), c.realFiles);
    EXPECT_EQ(form.Files().Current(), 0);
  }
  // A list another program has open for reading loads all the same.
  WriteFileBytes(folder / "open.list", "C:\\open.txt\r\n");
  {
    const FileHandle reader(CreateFileA((folder / "open.list").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    Load(folder / "open.list");
  }
  EXPECT_EQ(Entries(), Paths{"C:\\open.txt"});
  const OPENFILENAMEW& request = services.fileDialogs.requests.back();
  EXPECT_EQ(std::wstring(request.lpstrFilter, 52),
            std::wstring(L"Filename Lists (*.list)\0*.list\0All Files (*.*)\0*.*\0", 52));
  EXPECT_EQ(request.nFilterIndex, 1u);
  EXPECT_TRUE(request.Flags & OFN_HIDEREADONLY);
  EXPECT_FALSE(request.Flags & OFN_FILEMUSTEXIST);
  EXPECT_TRUE(services.messageBoxes.shown.empty());
  // Lines longer than any path: left out, one message; a long path in a box: its start and name.
  LoadBytes("C:\\a.txt\r\n" + std::string(40000, 'x') + "\r\nC:\\" + std::string(40000, 'x') + "\\b.txt\r\n");
  EXPECT_EQ(Entries(), Paths{"C:\\a.txt"});
  const std::string missing = folder / (std::string(400, 'm') + "\\in.list");
  Load(missing);
  ASSERT_EQ(services.messageBoxes.shown.size(), 2u);
  EXPECT_EQ(services.messageBoxes.shown[0].text,
            "2 entries of the list were left out: longer than the longest path Windows takes (32,767 characters).");
  EXPECT_EQ(services.messageBoxes.shown[1].text,
            ("Cannot open file " + missing).substr(0, 320 - 3 - 9) + "...\\in.list.");
}

TEST_F(FilenameLists, SavingWritesEveryEntryWithCrLf) {
  Save(folder / "empty.list");  // only the placeholder
  EXPECT_EQ(ReadFileBytes(folder / "empty.list"), "No files added\r\n");
  const OPENFILENAMEW& request = services.fileDialogs.requests.back();
  EXPECT_STREQ(request.lpstrDefExt, L"list");
  EXPECT_FALSE(request.Flags & OFN_OVERWRITEPROMPT);

  LoadBytes("C:\\a.txt\nC:\\b & c.txt\n\n");
  WriteFileBytes(folder / "out.list", "an older list that is longer than the new one");
  Save(folder / "out.list");
  EXPECT_EQ(ReadFileBytes(folder / "out.list"), "C:\\a.txt\r\nC:\\b & c.txt\r\n\r\n");

  Load(folder / "empty.list");  // a saved placeholder comes back as the placeholder
  EXPECT_EQ(Entries(), Paths{"No files added"});
  EXPECT_FALSE(RunEnabled());
}

TEST_F(FilenameLists, FailuresReachTheErrorReportAndChangeNothing) {
  LoadBytes("C:\\kept.txt\r\n");
  const std::string missing = folder / "missing.list";
  Load(missing);
  const std::string unwritable = folder / "no folder\\out.list";
  Save(unwritable);
  EXPECT_EQ(Entries(), Paths{"C:\\kept.txt"});
  EXPECT_TRUE(RunEnabled());
  ASSERT_EQ(services.messageBoxes.shown.size(), 2u);
  EXPECT_EQ(services.messageBoxes.shown[0].text, "Cannot open file " + missing + ".");
  EXPECT_EQ(services.messageBoxes.shown[1].text, "Cannot create file " + unwritable + ".");
  for (const testing::ShownBox& box : services.messageBoxes.shown) {
    EXPECT_EQ(box.caption, "Varnex");
    EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  }

  services.fileDialogs.answers.push_back(std::nullopt);  // Cancel
  SendMessageA(form.Handle(), WM_COMMAND, TMF::kLoadfilelist1, 0);
  EXPECT_EQ(Entries(), Paths{"C:\\kept.txt"});
}

// A list whose names all have a form in the ANSI code page is written as
// lists always were; any other is written in UTF-8 with its mark. Both come
// back whole, and so does a list in UTF-16 from another program.
TEST(FilenameListFiles, NamesInAnyScriptComeBackAndAnsiListsStayAsTheyWere) {
  testing::TempFolder folder;
  const std::string path = folder / "names.list";
  const Paths ansiNames{"C:\\Caf\xC3\xA9\\r\xC3\xA9sum\xC3\xA9.txt", "", "C:\\b & c.txt"};
  SaveFilenameList(path, ansiNames);
  EXPECT_EQ(ReadFileBytes(path), "C:\\Caf\xE9\\r\xE9sum\xE9.txt\r\n\r\nC:\\b & c.txt\r\n");
  EXPECT_EQ(LoadFilenameList(path).entries, ansiNames);

  const Paths anyNames{"C:\\\u041E\u0442\u0447\u0451\u0442.txt", "C:\\Caf\xC3\xA9\\\u65E5\u672C\u8A9E.txt",
                       "C:\\smile\U0001F600.txt"};
  SaveFilenameList(path, anyNames);
  const std::string utf8 = "C:\\\u041E\u0442\u0447\u0451\u0442.txt\r\nC:\\Caf\xC3\xA9\\\u65E5\u672C\u8A9E.txt\r\n"
                           "C:\\smile\U0001F600.txt\r\n";
  EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBF" + utf8);
  EXPECT_EQ(LoadFilenameList(path).entries, anyNames);

  using namespace std::string_view_literals;
  const struct {
    std::string_view bytes;
    Paths entries;
  } loads[] = {
      {"\xFF\xFE" "C\0:\0\\\0\x1E\x04.\0t\0\r\0\n\0x\0"sv, {"C:\\\u041E.t", "x"}},
      {"\xFE\xFF\0C\0:\0\\\x04\x1E\0.\0t"sv, {"C:\\\u041E.t"}},
      // Without a mark the list is ANSI, even where its bytes would read as UTF-8.
      {"C:\\Caf\xC3\xA9.txt\r\n"sv, {"C:\\Caf\xC3\x83\xC2\xA9.txt"}},
  };
  for (const auto& load : loads) {
    WriteFileBytes(path, load.bytes);
    EXPECT_EQ(LoadFilenameList(path).entries, load.entries) << ::testing::PrintToString(std::string(load.bytes));
  }
}

// An open refused, or a read or a write cut short half way (a share that goes
// away, a full disk), fails the whole list: nothing half loaded, nothing said
// to be saved.
TEST(FilenameListFiles, AnOpenReadOrWriteThatFailsFailsTheWholeList) {
  testing::TempFolder folder;
  const std::string path = folder / "in.list";
  WriteFileBytes(path, "C:\\a.txt\r\nC:\\b.txt\r\n");
  const struct {
    testing::Fault fault;
    bool save;
    std::string message;
  } cases[] = {
      {{testing::Call::kOpen, 1, 1, ERROR_SHARING_VIOLATION}, false, "Cannot open file " + path},
      {{testing::Call::kOpen, 1, 1, ERROR_ACCESS_DENIED}, true, "Cannot create file " + path},
      {{testing::Call::kRead, 1, 1, ERROR_NETNAME_DELETED}, false, "Cannot open file " + path},
      {{testing::Call::kWrite, 1, testing::kEveryCall, ERROR_DISK_FULL, testing::Leaves::kAsItWas, true}, true,
       "Cannot create file " + path},
  };
  for (const auto& c : cases) {
    testing::FailingFileSystem files({c.fault});
    try {
      if (c.save) {
        SaveFilenameList(path, {"C:\\c.txt"}, files);
      } else {
        LoadFilenameList(path, files);
      }
      ADD_FAILURE() << c.message << ": no failure";
    } catch (const Error& error) {
      EXPECT_EQ(error.what(), c.message);
    }
    EXPECT_TRUE(files.Fired()) << c.message;
    EXPECT_EQ(testing::ReadFileBytes(path), "C:\\a.txt\r\nC:\\b.txt\r\n") << c.message;
    EXPECT_EQ(testing::NamesIn(folder.Path()), std::vector<std::string>{"in.list"}) << c.message;
  }
}

}  // namespace
}  // namespace varnex
