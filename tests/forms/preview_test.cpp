#include "forms/preview.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "forms/settingkeys.h"
#include "framework/windowtext.h"
#include "tests/support/fake_services.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::FakeServices;
using testing::TempFolder;
using testing::WriteFileBytes;

class PreviewWindow : public ::testing::Test {
 protected:
  // A preview of the folder's files, made but not shown: without a window
  // manager, Wine takes two seconds to take a captioned window off the screen.
  std::unique_ptr<TPF> Make(std::vector<std::string> files) {
    auto form = std::make_unique<TPF>(app, settings, session,
                                      TPF::Request{std::move(files), "cat", "dog", RunOptions{}});
    form->Create();
    return form;
  }
  std::string File(const std::string& name, const std::string& bytes) {
    WriteFileBytes(folder / name, bytes);
    return folder / name;
  }
  static std::string Cell(const TPF& form, int row, int column) {
    wchar_t text[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(form.Control(TPF::kListView1), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return Utf8(text);
  }
  static int Rows(const TPF& form) {
    return static_cast<int>(SendMessageW(form.Control(TPF::kListView1), LVM_GETITEMCOUNT, 0, 0));
  }

  FakeServices services;
  Application app{GetModuleHandleA(nullptr), services.Get()};
  TempFolder folder;
  SettingsStore settings{folder / "settings.ini"};
  RunSession session{folder.Path()};
};

// The files that would change in list order with their counts and first
// lines, then those that could not be read; the summary above; a row opens its
// file, a row of failure nothing; the run asked for by its button.
TEST_F(PreviewWindow, ListsWhatTheRunWouldChangeAndOpensTheFilesItNames) {
  const std::string first = File("first.txt", "one\r\ntwo cat, three cat\r\n");
  const std::string same = File("same.txt", "no match here");
  const std::string over = File("over.txt", "cat");
  const std::string missing = folder / "missing.txt";
  const auto form = Make({first, same, missing, over});
  EXPECT_EQ(WindowText(form->Handle()), "Preview Replace All - reading...");
  form->FormShow();
  EXPECT_EQ(WindowText(form->Handle()), "Preview Replace All");

  ASSERT_EQ(Rows(*form), 3);
  const std::vector<std::vector<std::string>> expected = {
      {first, "2", "2", "two cat, three cat", "two dog, three dog"},
      {over, "1", "1", "cat", "dog"},
      {missing, "would fail", "", "The file or its folder does not exist.", ""},
  };
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < TPF::kColumns; ++column) {
      EXPECT_EQ(Cell(*form, row, column), expected[row][column]) << row << ", " << column;
    }
  }
  EXPECT_EQ(WindowText(form->Control(TPF::kLabel1)),
            "2 of 4 files would change, 3 occurrences in all, 1 file would fail.");
  // Every heading fits its column, with the header's margins (three edges a
  // side); the first row has the focus and shows it.
  HWND list = form->Control(TPF::kListView1);
  const char* headings[] = {"File", "Occurrences", "Line", "Before", "After"};
  for (int column = 0; column < TPF::kColumns; ++column) {
    const LRESULT text = SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(headings[column]));
    EXPECT_GE(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0), text + 6 * GetSystemMetrics(SM_CXEDGE)) << column;
  }
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0);
  EXPECT_EQ(WindowText(form->Control(TPF::kButton2)), "Close");
  EXPECT_TRUE(IsWindowEnabled(form->Control(TPF::kButton1)));

  form->ListView1Activate(1);
  form->ListView1Activate(2);
  ASSERT_EQ(services.programs.started.size(), 1u);
  EXPECT_TRUE(services.programs.started[0].ends_with("\\NOTEPAD.EXE " + over));
  EXPECT_FALSE(form->RunAsked());
  form->Button1Click();
  EXPECT_TRUE(form->RunAsked());
}

// Stop, pressed while the files are read, ends the reading after the file in
// hand and says how far it got.
TEST_F(PreviewWindow, StopEndsTheReadingAfterTheFileInHand) {
  const auto form = Make({File("a.txt", "cat"), File("b.txt", "cat"), File("c.txt", "cat")});
  PostMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(TPF::kButton2, BN_CLICKED), 0);
  form->FormShow();
  EXPECT_EQ(Rows(*form), 1);
  EXPECT_EQ(WindowText(form->Control(TPF::kLabel1)),
            "Stopped after 1 of 3 files. 1 of 3 files would change, 1 occurrence in all, 0 files would fail.");
  EXPECT_FALSE(form->Reading());
}

// The size and column widths the user leaves are kept, in 96-DPI pixels, in
// a section of their own, and the next preview opens with them, scaled to
// its DPI.
TEST_F(PreviewWindow, KeepsItsSizeAndColumnWidthsForTheNextOne) {
  settings.Write(settingkeys::kSection, settingkeys::kFileMask, "*.txt");
  {
    const auto form = Make({});
    RECT frame;
    GetWindowRect(form->Handle(), &frame);
    SetWindowPos(form->Handle(), nullptr, 0, 0, frame.right - frame.left + 100, frame.bottom - frame.top + 50,
                 SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(form->Control(TPF::kListView1), LVM_SETCOLUMNWIDTH, TPF::kBeforeColumn, 321);
    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  }
  EXPECT_EQ(settings.Read(settingkeys::kPreviewSection, settingkeys::kPreviewWidth), "820");
  EXPECT_EQ(settings.Read(settingkeys::kPreviewSection, settingkeys::kPreviewHeight), "450");
  EXPECT_EQ(settings.Read(settingkeys::kPreviewSection, "Column4"), "321");
  EXPECT_EQ(settings.Read(settingkeys::kSection, settingkeys::kFileMask), "*.txt");

  const auto form = Make({});
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 820);
  EXPECT_EQ(client.bottom, 450);
  HWND list = form->Control(TPF::kListView1);
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, TPF::kBeforeColumn, 0), 321);
  RECT moved;
  GetWindowRect(form->Handle(), &moved);
  moved.right += moved.right - moved.left;
  SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&moved));
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, TPF::kBeforeColumn, 0), 642);
  RECT place;
  GetWindowRect(list, &place);
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(place.right - place.left, client.right - 2 * 16);  // margins at 200%
}

}  // namespace
}  // namespace varnex
