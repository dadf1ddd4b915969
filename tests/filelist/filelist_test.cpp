#include "filelist/filelist.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include "framework/unicode.h"
#include "tests/support/canvas.h"
#include "tests/support/main_window.h"
#include "tests/support/names.h"

namespace varnex {
namespace {

using Paths = std::vector<std::string>;

class FileListCommands : public testing::MainWindowTest {
 protected:
  void SetUp() override { Start(); }

  void PickInDialog(const std::optional<std::string>& answer) { services.fileDialogs.answers.push_back(answer); }
  void AnswerNext(int answer) { services.messageBoxes.answers.push_back(answer); }

  // A drop as the shell delivers it: a DROPFILES block with NUL-separated
  // paths in UTF-16.
  void Drop(const Paths& paths) {
    std::wstring names;
    for (const std::string& path : paths) names += Wide(path) + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(memory);
    PostMessageA(form.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    Pump();
  }

  void SelectAll() { SendMessageA(form.Files().Handle(), LB_SETSEL, TRUE, -1); }
  void KeyInList(WPARAM key) { SendMessageA(form.Files().Handle(), WM_KEYDOWN, key, 0); }
  // Keys as a Unicode window gets them: UTF-16 units, one at a time.
  void TypeInList(std::u16string_view text) {
    for (char16_t unit : text) SendMessageW(form.Files().Handle(), WM_CHAR, unit, 0);
  }
  // The list box's own text of an entry, as the system shows it.
  std::wstring Shown(int index) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(form.Files().Handle(), LB_GETTEXTLEN, index, 0)), L'\0');
    SendMessageW(form.Files().Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text;
  }
  int Selected() { return static_cast<int>(SendMessageA(form.Files().Handle(), LB_GETSELCOUNT, 0, 0)); }
};

TEST_F(FileListCommands, AddFilesReplacesThePlaceholderAndAppendsInDialogOrder) {
  PickInDialog(std::string("C:\\docs\0c.txt\0a.txt\0b & c.txt\0", 30) + testing::kEmojiName);
  form.Files1Click();
  EXPECT_EQ(Entries(), (Paths{"C:\\docs\\c.txt", "C:\\docs\\a.txt", "C:\\docs\\b & c.txt",
                              "C:\\docs\\" + testing::kEmojiName}));
  EXPECT_EQ(form.Files().Current(), 0);
  EXPECT_TRUE(RunEnabled());
  EXPECT_TRUE(MinusEnabled());

  const OPENFILENAMEW& request = services.fileDialogs.requests.back();
  EXPECT_EQ(std::wstring(request.lpstrFilter, 21), std::wstring(L"All Files (*.*)\0*.*\0", 21));
  EXPECT_TRUE(request.Flags & OFN_ALLOWMULTISELECT);
  EXPECT_TRUE(request.Flags & OFN_HIDEREADONLY);
  EXPECT_TRUE(request.Flags & OFN_ENABLESIZING);
  EXPECT_FALSE(request.Flags & OFN_FILEMUSTEXIST);

  PickInDialog(std::nullopt);  // Cancel changes nothing
  form.Files1Click();
  PickInDialog("C:\\docs\\a.txt");  // the same file again is listed again
  form.Files1Click();
  EXPECT_EQ(Entries().size(), 5u);
  EXPECT_EQ(Entries().back(), "C:\\docs\\a.txt");
}

TEST_F(FileListCommands, CancelledDialogKeepsThePlaceholder) {
  PickInDialog(std::nullopt);
  form.Files1Click();
  EXPECT_EQ(Entries(), Paths{"No files added"});
  EXPECT_FALSE(RunEnabled());
}

TEST_F(FileListCommands, DropsAddFilesFoldersAndLongPathsWhole) {
  const std::string longPath = testing::LongFolderSteps("C:").back() + "\\" + testing::kCjkName;
  Drop({"C:\\one.txt", "C:\\Windows", "C:\\" + testing::kCyrillicName});
  EXPECT_EQ(Entries(), (Paths{"C:\\one.txt", "C:\\Windows", "C:\\" + testing::kCyrillicName}));
  EXPECT_EQ(form.Files().Current(), 2);
  EXPECT_TRUE(RunEnabled());
  EXPECT_TRUE(MinusEnabled());

  Drop({longPath});
  EXPECT_EQ(Entries().back(), longPath);
  EXPECT_EQ(form.Files().Current(), 3);

  // The next file dialog opens on the last file dropped.
  PickInDialog(std::nullopt);
  form.Files1Click();
  EXPECT_EQ(services.fileDialogs.openedOn.back(), longPath);
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

TEST_F(FileListCommands, DeleteSelectedAsksAndRemovesOnlyTheSelection) {
  Drop({"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"});
  SendMessageA(form.Files().Handle(), LB_SETSEL, TRUE, 1);

  AnswerNext(IDNO);
  form.Deleteselected1Click();
  EXPECT_EQ(Entries().size(), 3u);
  ASSERT_EQ(services.messageBoxes.shown.size(), 1u);
  EXPECT_EQ(services.messageBoxes.shown[0].caption, "Confirmation");
  EXPECT_EQ(services.messageBoxes.shown[0].text, "Do you want to delete the selected item(s) from the file list?");
  EXPECT_EQ(services.messageBoxes.shown[0].flags, 36u);

  AnswerNext(IDYES);
  form.Deleteselected1Click();
  EXPECT_EQ(Entries(), (Paths{"C:\\a.txt", "C:\\c.txt"}));
  EXPECT_EQ(form.Files().Current(), 0);

  AnswerNext(IDYES);  // nothing selected: nothing goes, the first entry becomes current
  form.Files().MakeCurrent(1);
  form.Deleteselected1Click();
  EXPECT_EQ(Entries().size(), 2u);
  EXPECT_EQ(form.Files().Current(), 0);

  SelectAll();
  AnswerNext(IDYES);
  form.Deleteselected1Click();
  EXPECT_EQ(Entries(), Paths{"No files added"});
  EXPECT_FALSE(RunEnabled());
  EXPECT_FALSE(MinusEnabled());
}

TEST_F(FileListCommands, DeleteKeyAsksOnlyWhenTheListHoldsFiles) {
  KeyInList(VK_DELETE);
  EXPECT_TRUE(services.messageBoxes.shown.empty());

  Drop({"C:\\a.txt", "C:\\b.txt"});
  SelectAll();
  AnswerNext(IDNO);
  KeyInList(VK_DELETE);
  ASSERT_EQ(services.messageBoxes.shown.size(), 1u);
  EXPECT_EQ(Entries().size(), 2u);
  KeyInList('A');
  EXPECT_EQ(services.messageBoxes.shown.size(), 1u);
}

TEST_F(FileListCommands, DeleteAllAsksThenBringsBackThePlaceholder) {
  Drop({"C:\\a.txt", "C:\\b.txt"});
  AnswerNext(IDNO);
  form.Deleteall1Click();
  EXPECT_EQ(Entries().size(), 2u);
  AnswerNext(IDYES);
  form.Deleteall1Click();
  EXPECT_EQ(services.messageBoxes.shown.back().text, "Do you want to delete all item(s) from the file list?");
  EXPECT_EQ(Entries(), Paths{"No files added"});
  EXPECT_EQ(form.Files().Current(), 0);
  EXPECT_FALSE(RunEnabled());
  EXPECT_FALSE(MinusEnabled());
}

// The placeholder names no file: a double-click, Enter or Delete on it starts
// nothing and asks nothing, where a real entry opens in the editor.
TEST_F(FileListCommands, ThePlaceholderOpensAndAsksNothingARealEntryOpensInTheEditor) {
  HWND list = form.Files().Handle();
  const auto doubleClick = [list](int index) {
    RECT row;
    SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row));
    const LPARAM at = MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
      SendMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
  };
  const auto press = [&](WPARAM key) {
    PostMessageW(list, WM_KEYDOWN, key, 1);
    PostMessageW(list, WM_KEYUP, key, 0xC0000001);
    app.ProcessPendingMessages();
  };
  doubleClick(0);
  press(VK_RETURN);
  press(VK_DELETE);
  EXPECT_EQ(Entries(), Paths{"No files added"});
  EXPECT_TRUE(services.programs.started.empty());
  EXPECT_TRUE(services.messageBoxes.shown.empty());

  Drop({"C:\\a.txt", "C:\\no such.txt"});
  doubleClick(1);
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(services.programs.started, Paths{std::string(windows) + "\\NOTEPAD.EXE C:\\no such.txt"});
}

// Names in any script are listed whole, read back whole and found by typing,
// letter case aside, a character beyond the Basic Multilingual Plane included.
TEST_F(FileListCommands, TypingSelectsTheFirstEntryWithThePrefixInAnyScript) {
  Drop({"C:\\beta.txt", "C:\\Alpha.txt", "C:\\alps.txt", "D:\\x.txt"});
  for (const char* name : {"C:\\\u041E\u0442\u0447\u0451\u0442.txt", "C:\\\u65E5\u672C\u8A9E.txt",
                           "C:\\smile\U0001F600.txt"}) {
    form.Files().Append(name);
  }
  EXPECT_EQ(Shown(4), L"C:\\\u041E\u0442\u0447\u0451\u0442.txt");
  EXPECT_EQ(Shown(5), L"C:\\\u65E5\u672C\u8A9E.txt");
  EXPECT_EQ(Shown(6), L"C:\\smile\U0001F600.txt");
  EXPECT_EQ(form.Files().Entry(6), "C:\\smile\U0001F600.txt");

  SelectAll();
  TypeInList(u"c:\\alp");
  EXPECT_EQ(form.Files().Current(), 1);
  EXPECT_EQ(Selected(), 1);
  EXPECT_GT(SendMessageW(form.Files().Handle(), LB_GETSEL, 1, 0), 0);
  TypeInList(u"s");
  EXPECT_EQ(form.Files().Current(), 2);
  TypeInList(u"\b\b\b\b\b\b\b");
  EXPECT_EQ(form.Files().Current(), 0);

  const struct {
    std::u16string typed;
    int entry;
  } typings[] = {
      {u"c:\\\u041E\u0442\u0447", 4},  // in its own case: Wine's list box folds the case of ASCII letters alone
      {u"c:\\\u65E5", 5},
      {u"c:\\smile\U0001F600", 6},
  };
  for (const auto& typing : typings) {
    TypeInList(std::u16string(20, u'\b'));  // back to an empty prefix
    TypeInList(typing.typed);
    EXPECT_EQ(form.Files().Current(), typing.entry);
    EXPECT_EQ(Selected(), 1);
  }
}

TEST_F(FileListCommands, HintShowsTheCurrentEntryNotTheOneUnderThePointer) {
  Drop({"C:\\first.txt", "C:\\second.txt"});
  form.Files().Append("C:\\\u65E5\u672C\u8A9E\\smile\U0001F600.txt");
  form.Files().MakeCurrent(2);
  SendMessageW(form.Files().Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 20));  // over the second row
  HWND tooltip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        char name[64];
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == TOOLTIPS_CLASSA) *reinterpret_cast<HWND*>(found) = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  EXPECT_EQ(SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), static_cast<LRESULT>(app.HintHidePause()));
  wchar_t text[256] = L"";
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = form.Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(form.Files().Handle());
  tool.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, L"C:\\\u65E5\u672C\u8A9E\\smile\U0001F600.txt");
}

TEST(FileListRow, DrawsHighlightOnlyForSelectedRows) {
  const testing::Canvas canvas(100, 13);
  const RECT row{0, 0, 100, 13};
  DrawFileListRow(canvas.Dc(), row, true, false, "x");
  EXPECT_EQ(canvas.Pixel(90, 6), GetSysColor(COLOR_HIGHLIGHT));
  DrawFileListRow(canvas.Dc(), row, false, false, "x");
  EXPECT_EQ(canvas.Pixel(90, 6), GetSysColor(COLOR_WINDOW));
}

}  // namespace
}  // namespace varnex
