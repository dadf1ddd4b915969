#include "forms/dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "framework/layout.h"
#include "framework/unicode.h"
#include "framework/windowtext.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/keyboard.h"
#include "tests/support/layout_check.h"
#include "tests/support/main_window.h"
#include "tests/support/names.h"

namespace varnex {
namespace {

using testing::WriteFileBytes;
using Paths = std::vector<std::string>;

class AddDirectory : public testing::MainWindowTest {
 protected:
  void SetUp() override {
    Start();
    tree = folder / "tree";
    CreateDirectoryA(tree.c_str(), nullptr);
    CreateDirectoryA((tree + "\\sub").c_str(), nullptr);
    CreateDirectoryA((tree + "\\folder.txt").c_str(), nullptr);
    for (const char* name : {"a.txt", "b.md", "sub\\c.txt", "sub\\d.md"}) WriteFileBytes(tree + "\\" + name, "x");
  }

  std::unique_ptr<TDF> Open() {
    auto dialog = std::make_unique<TDF>(app, form.Settings(), form.Files(), [this] { form.FollowListState(); });
    dialog->Create();
    dialog->FormShow();
    return dialog;
  }
  static std::string Text(TDF& dialog, int id) { return WindowText(dialog.Control(id)); }
  static bool Checked(TDF& dialog, int id = TDF::kCheckBox1) {
    return SendMessageA(dialog.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  std::string Stored(const char* key) { return form.Settings().Read("Options", key); }

  std::string tree;
};

// Screen readers read a name for every control: its caption, the label
// before it, or the name it was given. Each but the buttons is reached by an
// access key of its own, the pickers through the labels set before them.
TEST_F(AddDirectory, EveryControlHasANameAndAnAccessKey) {
  const auto dialog = Open();
  ShowWindow(dialog->Handle(), SW_SHOW);
  SetFocus(dialog->Control(TDF::kBitBtn2));
  const std::tuple<HWND, const char*, char> controls[] = {
      {dialog->Control(TDF::kNewDriveComboBox1), "Drive", 'V'},
      {dialog->Control(TDF::kNewDirectoryListBox1), "Folders", 'F'},
      {dialog->Folders().ListHandle(), "Folders", 'F'},
      {dialog->Control(TDF::kFolderBox), "Folder:", 'D'},
      {dialog->Control(TDF::kEdit1), "File mask:", 'M'},
      {dialog->Control(TDF::kExcludeBox), "Exclude:", 'X'},
      {dialog->Control(TDF::kCheckBox1), "Include sub-directories", 'S'},
      {dialog->Control(TDF::kSkipBinary), "Skip binary files", 'B'},
      {dialog->Control(TDF::kBitBtn1), "Add", 0},
      {dialog->Control(TDF::kBitBtn2), "Cancel", 0},
  };
  for (auto [control, name, key] : controls) {
    EXPECT_EQ(testing::AccessibleName(control), name);
    if (key != 0) testing::Press(app, key, testing::Held::kAlt);
    EXPECT_TRUE(key == 0 || GetFocus() == control || IsChild(control, GetFocus())) << name;
  }
}

TEST_F(AddDirectory, StartsWhereTheProcessIsWithTheDefaultChoices) {
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  const auto dialog = Open();
  EXPECT_EQ(WindowText(dialog->Handle()), "Add Directory...");
  RECT client;
  GetClientRect(dialog->Handle(), &client);
  EXPECT_EQ(client.right, 282);
  EXPECT_EQ(client.bottom, 351);
  EXPECT_EQ(dialog->Folders().Directory(), std::string(current));
  EXPECT_EQ(Text(*dialog, TDF::kFolderBox), std::string(current));
  EXPECT_EQ(Text(*dialog, TDF::kEdit1), "*.txt");
  EXPECT_EQ(Text(*dialog, TDF::kExcludeBox), "");
  EXPECT_TRUE(Checked(*dialog));
  EXPECT_FALSE(Checked(*dialog, TDF::kSkipBinary));
  EXPECT_EQ(Text(*dialog, TDF::kBitBtn2), "Cancel");
  EXPECT_EQ(GetFileAttributesA((folder / "settings.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(AddDirectory, IsLaidOutAtEachDpiWithItsPickers) {
  const auto dialog = Open();
  dialog->Folders().SetDirectory(tree);
  for (UINT dpi : {96u, 120u, 144u, 192u, 96u}) {
    if (dpi != dialog->Dpi()) testing::SendDpiChange(dialog->Handle(), dialog->Dpi(), dpi);
    ASSERT_EQ(dialog->Dpi(), dpi);
    testing::ExpectLaidOutAt(dialog->Handle(), TDF::LayoutTable(), {282, 351}, dpi);
  }
  // "STOP" keeps its bold font when the scale changes during a scan.
  SetWindowTextA(dialog->Control(TDF::kBitBtn2), "STOP");
  testing::SendDpiChange(dialog->Handle(), 96, 144);
  LOGFONTA font;
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog->Control(TDF::kBitBtn2), WM_GETFONT, 0, 0)), sizeof font,
             &font);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(font.lfHeight, -ScaleToDpi(11, 144));
}

TEST_F(AddDirectory, AddsEveryMatchingFileFolderBeforeSubfoldersAndCloses) {
  const auto dialog = Open();
  dialog->Folders().SetDirectory(tree);
  dialog->BitBtn1Click();
  // "folder.txt" matches the mask but is a folder: walked, not listed.
  EXPECT_EQ(Entries(), (Paths{tree + "\\a.txt", tree + "\\sub\\c.txt"}));
  EXPECT_TRUE(services.messageBoxes.shown.empty());
  EXPECT_EQ(form.Files().Current(), 0);
  EXPECT_TRUE(RunEnabled());
  EXPECT_TRUE(MinusEnabled());
  EXPECT_EQ(Text(*dialog, TDF::kBitBtn2), "STOP");
  EXPECT_FALSE(IsWindowEnabled(dialog->Control(TDF::kBitBtn1)));
  EXPECT_EQ(Stored("Directory"), tree);
}

// Names in any script are listed whole; what was left out (excluded, binary)
// and what could not be listed is told in one message at the end, after the
// list has taken all the scan found.
TEST_F(AddDirectory, ListsNamesInAnyScriptAndTellsWhatItLeftOutAndCouldNotList) {
  const std::string script = tree + "\\script";
  CreateDirectoryW(WidePath(script).c_str(), nullptr);
  Paths expected{tree + "\\a.txt", tree + "\\sub\\c.txt"};
  for (const std::string& name : testing::NamesInAnyScript()) {
    WriteFileBytes(script + "\\" + name, "x");
    expected.push_back(script + "\\" + name);
  }
  std::vector<std::string> held;
  for (const char* name : {"held", "also held"}) {
    held.push_back(tree + "\\" + name + "\\");
    CreateDirectoryA(held.back().c_str(), nullptr);
  }
  const FileHandle holders[] = {
      FileHandle(CreateFileA(held[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                             nullptr)),
      FileHandle(CreateFileA(held[1].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                             nullptr))};
  services.messageBoxes.onShow = [this, &expected](const testing::ShownBox&) {
    Paths listed = Entries();
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
  };
  CreateDirectoryA((tree + "\\sub\\.git").c_str(), nullptr);
  WriteFileBytes(tree + "\\sub\\.git\\HEAD.txt", "x");
  WriteFileBytes(tree + "\\tool.txt", std::string("MZ\0\0", 4));
  const auto dialog = Open();
  dialog->Folders().SetDirectory(tree);
  SetText(dialog->Control(TDF::kExcludeBox), "x.txt; .GIT");
  SendMessageA(dialog->Control(TDF::kSkipBinary), BM_CLICK, 0, 0);
  dialog->BitBtn1Click();
  ASSERT_EQ(services.messageBoxes.shown.size(), 1u);
  const testing::ShownBox& box = services.messageBoxes.shown[0];
  EXPECT_EQ(box.caption, "Varnex");
  EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  const std::string heading = "1 binary file and 1 excluded folder were left out.\r\r"
                              "These folders could not be listed, so their files are not in the list:";
  EXPECT_TRUE(box.text == heading + "\r" + held[0] + "\r" + held[1] || box.text == heading + "\r" + held[1] + "\r" + held[0])
      << box.text;
  EXPECT_EQ(Entries().size(), expected.size());
}

TEST_F(AddDirectory, EveryChoiceIsStoredAndComesBack) {
  {
    const auto dialog = Open();
    dialog->Folders().SetDirectory(tree + "\\sub");
    SetText(dialog->Control(TDF::kEdit1), "*.md;*.txt");
    SendMessageA(dialog->Control(TDF::kCheckBox1), BM_CLICK, 0, 0);
    EXPECT_EQ(Stored("Exclude"), "");  // never set: not written
    SetText(dialog->Control(TDF::kExcludeBox), "c.txt");
    SendMessageA(dialog->Control(TDF::kSkipBinary), BM_CLICK, 0, 0);
    EXPECT_EQ(Stored("Directory"), tree + "\\sub");
    EXPECT_EQ(Stored("FileMask"), "*.md;*.txt");
    EXPECT_EQ(Stored("SubDirectories"), "False");
    EXPECT_EQ(Stored("Exclude"), "c.txt");
    EXPECT_EQ(Stored("SkipBinaryFiles"), "True");
  }
  const auto again = Open();
  EXPECT_EQ(again->Folders().Directory(), tree + "\\sub");
  EXPECT_EQ(Text(*again, TDF::kFolderBox), tree + "\\sub");
  EXPECT_EQ(Text(*again, TDF::kEdit1), "*.md;*.txt");
  EXPECT_EQ(Text(*again, TDF::kExcludeBox), "c.txt");
  EXPECT_TRUE(Checked(*again, TDF::kSkipBinary));
  EXPECT_FALSE(Checked(*again));
  again->BitBtn1Click();
  EXPECT_EQ(Entries(), (Paths{tree + "\\sub\\d.md"}));

  SetText(again->Control(TDF::kEdit1), "");  // an empty mask is stored, and forgotten
  EXPECT_EQ(Stored("FileMask"), "");
  EXPECT_EQ(Text(*Open(), TDF::kEdit1), "*.txt");
}

TEST_F(AddDirectory, SearchTextHasOneSeparatorAtARoot) {
  const auto dialog = Open();
  dialog->Folders().SetDirectory("C:\\");
  SetText(dialog->Control(TDF::kEdit1), "*.no-such-extension");
  SendMessageA(dialog->Control(TDF::kCheckBox1), BM_CLICK, 0, 0);
  dialog->BitBtn1Click();
  EXPECT_EQ(dialog->FileSearch1().SearchFile, "C:\\*.no-such-extension");
  EXPECT_EQ(Entries(), Paths{"No files added"});
  EXPECT_FALSE(RunEnabled());
  // Nothing matched: said, and the dialog is ready for another try.
  ASSERT_EQ(services.messageBoxes.shown.size(), 1u);
  EXPECT_EQ(services.messageBoxes.shown[0].text, "No files in C:\\ match *.no-such-extension.");
  EXPECT_EQ(Text(*dialog, TDF::kBitBtn2), "Cancel");
  EXPECT_TRUE(IsWindowEnabled(dialog->Control(TDF::kBitBtn1)));
}

// The box shows the folder the list has open, and a folder typed there opens
// in the list; "Add" scans what the box shows.
TEST_F(AddDirectory, TheFolderBoxAndTheListFollowEachOther) {
  const auto dialog = Open();
  dialog->Folders().SetDirectory(tree);
  EXPECT_EQ(Text(*dialog, TDF::kFolderBox), tree);
  for (const std::string& typed : {"\"" + tree + "\\sub\"", std::string("..")}) {
    SetText(dialog->Control(TDF::kFolderBox), typed);
    EXPECT_TRUE(dialog->FolderBoxDone());
  }
  EXPECT_EQ(dialog->Folders().Directory(), tree);  // pasted in quotes, then one up again
  SetText(dialog->Control(TDF::kFolderBox), tree + "\\missing");
  EXPECT_FALSE(dialog->FolderBoxDone());
  ASSERT_EQ(services.messageBoxes.shown.size(), 1u);
  EXPECT_EQ(services.messageBoxes.shown[0].text, "There is no folder " + tree + "\\missing.");
  EXPECT_EQ(dialog->Folders().Directory(), tree);
  dialog->BitBtn1Click();  // refused again, nothing scanned
  EXPECT_EQ(services.messageBoxes.shown.size(), 2u);
  SetText(dialog->Control(TDF::kFolderBox), tree + "\\sub");
  dialog->BitBtn1Click();
  EXPECT_EQ(Entries(), Paths{tree + "\\sub\\c.txt"});
}

TEST_F(AddDirectory, StopEndsTheScanAndKeepsWhatWasFound) {
  const auto dialog = Open();
  dialog->Folders().SetDirectory(tree);
  SetText(dialog->Control(TDF::kEdit1), "*.*");
  // Esc, as the user presses it while the scan lets events through.
  PostMessageA(dialog->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  dialog->BitBtn1Click();
  EXPECT_TRUE(dialog->FileSearch1().Stop);
  EXPECT_LT(Entries().size(), 6u);
}

}  // namespace
}  // namespace varnex
