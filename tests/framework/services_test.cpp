#include "framework/services.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/windowclass.h"
#include "tests/support/dialog_driver.h"

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

}  // namespace
}  // namespace varnex
