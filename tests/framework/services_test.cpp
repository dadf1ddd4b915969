#include "framework/services.h"

#include <gtest/gtest.h>

#include <vector>

#include "filelist/opennames.h"
#include "framework/unicode.h"
#include "framework/windowclass.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/names.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::WhenShown;

constexpr char kCaption[] = "Message box test";

// A top-level window of this thread, destroyed with the test. Shown without
// being activated, it is no window a window manager would look after, and Wine
// does not wait for one when it goes.
class TestWindow {
 public:
  TestWindow(DWORD style, HWND owner, bool shown = true) {
    RegisterClassOnce(GetModuleHandleA(nullptr), WindowClass{"ServicesTestWindow"}, DefWindowProcA);
    handle_ = CreateWindowExA(0, "ServicesTestWindow", "", style, 100, 100, 200, 150, owner, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (shown) ShowWindow(handle_, SW_SHOWNA);
  }
  ~TestWindow() { DestroyWindow(handle_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND Get() const { return handle_; }

 private:
  HWND handle_;
};

// The real box, answered from inside its own loop. The window that was active
// gets the activation back when it closes: without it, the keyboard, Alt+F4
// included, reaches no window of the program until the user clicks one.
TEST(SystemMessageBoxes, DisableEveryWindowWhileUpAndGiveTheActiveOneItsActivationBack) {
  const TestWindow main(WS_POPUP, nullptr);
  const TestWindow panel(WS_POPUP, main.Get(), false);  // as the options panel, hidden
  const TestWindow dialog(WS_POPUP, main.Get());        // as the Add Directory dialog
  const std::vector<HWND> all{main.Get(), panel.Get(), dialog.Get()};
  for (HWND active : {main.Get(), dialog.Get()}) {
    SCOPED_TRACE(active == main.Get() ? "main window active" : "dialog active");
    SetActiveWindow(active);
    ASSERT_EQ(GetActiveWindow(), active);
    std::vector<BOOL> enabledWhileUp;
    const WhenShown answer(kCaption, [&](HWND box) {
      for (HWND window : all) enabledWhileUp.push_back(IsWindowEnabled(window));
      PostMessageW(box, WM_COMMAND, IDNO, 0);
    });
    EXPECT_EQ(SystemServices().messageBoxes.Show(kCaption, "Go on?", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(enabledWhileUp, std::vector<BOOL>(all.size(), FALSE));
    for (HWND window : all) EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(GetActiveWindow(), active);
  }
}

// A name in any script reaches the screen whole, in the caption and the text.
TEST(SystemMessageBoxes, ShowEveryCharacter) {
  const std::string caption = "\u041E\u0442\u0447\u0451\u0442 \u65E5\u672C\u8A9E";
  const std::string text = "Cannot open file C:\\smile\U0001F600.txt.";
  std::wstring shown;
  const WhenShown answer(caption, [&](HWND box) {
    wchar_t line[128] = L"";
    GetWindowTextW(GetDlgItem(box, 0xFFFF), line, static_cast<int>(std::size(line)));  // the box's text
    shown = line;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(SystemServices().messageBoxes.Show(caption, text, MB_OK), IDOK);
  EXPECT_TRUE(answer.Acted());
  EXPECT_EQ(shown, L"Cannot open file C:\\smile\U0001F600.txt.");
}

// The open dialog's answer with several files, in UTF-16 as it writes it: a
// folder, then the names, each ended by a NUL and the whole by a second; what
// follows is whatever the buffer held before.
TEST(FileDialogAnswer, SeveralFilesInAnyScriptComeBackAsTheirFullPaths) {
  const std::string folder = testing::LongFolderSteps("Z:\\tmp").back();
  std::wstring buffer = Wide(folder) + L'\0';
  std::vector<std::string> expected;
  for (const std::string& name : testing::NamesInAnyScript()) {
    buffer += Wide(name) + L'\0';
    expected.push_back(folder + "\\" + name);
  }
  buffer += std::wstring(L"\0left over\0\0", 12);
  EXPECT_EQ(PickedFiles(DialogAnswer(buffer)), expected);
  // One file: its path alone, whether the buffer has room after it or not.
  EXPECT_EQ(DialogAnswer(Wide(expected[2]) + std::wstring(3, L'\0')), expected[2]);
  EXPECT_EQ(DialogAnswer(Wide(expected[2])), expected[2]);
}

// The program started gets its command line whole, a name in any script
// included (the editor that opens a file of the list, or the log).
TEST(SystemProgramStarter, HandsTheProgramItsCommandLineInAnyScript) {
  const testing::TempFolder folder;
  const std::string made = folder / testing::kEmojiName;
  EXPECT_GT(SystemServices().programs.Exec("cmd.exe /c echo made> \"" + made + "\"", SW_HIDE), 31u);
  // A program started runs on its own: its file is awaited.
  const auto written = [&] {
    try {
      return testing::ReadFileBytes(made) == "made\r\n";
    } catch (const std::exception&) {
      return false;
    }
  };
  for (int tries = 0; tries < 400 && !written(); ++tries) Sleep(25);
  EXPECT_EQ(testing::NamesIn(folder.Path()), std::vector<std::string>{testing::kEmojiName});
  EXPECT_EQ(SystemServices().programs.Exec(folder / "no such program.exe", SW_HIDE), static_cast<UINT>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
}  // namespace varnex
