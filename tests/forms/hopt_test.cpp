#include "forms/hopt.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/windowtext.h"
#include "tests/support/canvas.h"
#include "tests/support/keyboard.h"
#include "tests/support/main_window.h"

namespace varnex {
namespace {

using testing::Held;
using testing::PaintingOf;
using OptionsPanel = testing::MainWindowTest;

constexpr char kShowOptions[] = "Show Advanced &Options >>>>>";
constexpr char kHideOptions[] = "<<<<< Hide Advanced &Options";

HWND BoxWithCaption(HWND panel, const char* caption) {
  return FindWindowExA(panel, nullptr, "BUTTON", caption);
}

HWND HelpLink(HWND panel) { return FindWindowExA(panel, nullptr, "STATIC", "Help"); }

TEST_F(OptionsPanel, IsABorderlessPanelWithThreeClearBoxes) {
  Start();
  RECT frame, client;
  GetWindowRect(panel.Handle(), &frame);
  GetClientRect(panel.Handle(), &client);
  EXPECT_EQ(frame.right - frame.left, client.right);
  EXPECT_EQ(frame.bottom - frame.top, client.bottom);
  EXPECT_EQ(WindowText(panel.Handle()), " ");
  EXPECT_EQ(GetWindow(panel.Handle(), GW_OWNER), form.Handle());
  for (const char* caption : {"Case sensitive", "Back up changed files", "Use dynamic variables"}) {
    HWND box = BoxWithCaption(panel.Handle(), caption);
    ASSERT_NE(box, nullptr) << caption;
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  }
}

// The options table drives the panel, the stored keys and what the run is
// told, row by row; the keys of earlier versions stay as they were.
TEST_F(OptionsPanel, EveryChangeOfABoxIsStoredAtOnce) {
  Start();
  const std::pair<const char*, const char*> boxes[] = {{"Case sensitive", "CS"},
                                                       {"Back up changed files", "BU"},
                                                       {"Use dynamic variables", "DV"},
                                                       {"Keep line ends", "KeepLineEnds"},
                                                       {"Keep modified date", "KeepModifiedDate"}};
  ASSERT_EQ(std::size(boxes), kOptionRows.size());
  for (std::size_t i = 0; i < std::size(boxes); ++i) {
    const auto& [caption, key] = boxes[i];
    HWND box = BoxWithCaption(panel.Handle(), caption);
    EXPECT_EQ(std::string(kOptionRows[i].key), key);
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(form.Settings().Read("Options", key), "True") << key;
    EXPECT_TRUE(panel.Options().*kOptionRows[i].field) << key;
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(form.Settings().Read("Options", key), "False") << key;
    EXPECT_FALSE(panel.Options().*kOptionRows[i].field) << key;
  }
  SendMessageA(BoxWithCaption(panel.Handle(), "Case sensitive"), BM_CLICK, 0, 0);
  EXPECT_TRUE(panel.CaseSensitive());
}

// The panel to the keyboard, with both windows on the screen and the focus in
// the file list, as after the program starts.
class OptionsPanelKeys : public OptionsPanel {
 protected:
  void SetUp() override {
    Start(true);
    SetForegroundWindow(form.Handle());
    SetFocus(form.Files().Handle());
  }

  void Press(WPARAM key, Held held = Held::kNone) { testing::Press(app, key, held); }
  HWND OptionsButton() { return form.Control(TMF::kButton4); }
  bool PanelShown() { return IsWindowVisible(panel.Handle()) != FALSE; }
};

TEST_F(OptionsPanelKeys, TabGoesRoundTheBoxesAndTheHelpLinkWhichShowsItsFocus) {
  Press('O', Held::kAlt);
  ASSERT_TRUE(PanelShown());
  const HWND round[] = {BoxWithCaption(panel.Handle(), "Case sensitive"),
                        BoxWithCaption(panel.Handle(), "Back up changed files"),
                        BoxWithCaption(panel.Handle(), "Use dynamic variables"),
                        BoxWithCaption(panel.Handle(), "Keep line ends"),
                        BoxWithCaption(panel.Handle(), "Keep modified date"), HelpLink(panel.Handle()),
                        BoxWithCaption(panel.Handle(), "Case sensitive")};
  EXPECT_EQ(GetActiveWindow(), panel.Handle());
  EXPECT_EQ(GetFocus(), round[0]);
  for (std::size_t i = 1; i < std::size(round); ++i) {
    const std::vector<COLORREF> before = PaintingOf(HelpLink(panel.Handle()));
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), round[i]) << i;
    // The link alone looks different with the focus, and again without it.
    EXPECT_EQ(PaintingOf(HelpLink(panel.Handle())) != before, i == 5 || i == 6) << i;
  }
  // Space ticks the box with the focus, and the tick is stored.
  Press(VK_TAB);
  Press(VK_SPACE);
  EXPECT_TRUE(panel.Checked(&RunOptions::backUp));
  EXPECT_EQ(form.Settings().Read("Options", "BU"), "True");
}

// A click, Enter or Space on the link opens the page through the shell, once
// for a key held down, and says nothing.
TEST_F(OptionsPanelKeys, HelpOpensTheDynamicVariablesPageByClickEnterOrSpace) {
  HWND link = HelpLink(panel.Handle());
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"a click", [&] { SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, 0); }},
      {"Enter", [&] { Press(VK_RETURN); }},
      {"Space", [&] { Press(VK_SPACE); }},
      {"Space held down", [&] {
         PostMessageW(link, WM_KEYDOWN, VK_SPACE, 1);
         PostMessageW(link, WM_KEYDOWN, VK_SPACE, 1 | LPARAM{KF_REPEAT} << 16);
         app.ProcessPendingMessages();
       }},
  };
  Press('O', Held::kAlt);
  SetFocus(link);
  for (const auto& [name, open] : ways) {
    services.programs.started.clear();
    open();
    ASSERT_EQ(services.programs.started.size(), 1u) << name;
    EXPECT_EQ(services.programs.started[0], folder.Path() + "\\dv.html") << name;
    EXPECT_TRUE(PanelShown()) << name;
    EXPECT_EQ(GetFocus(), link) << name;
  }
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

// However the panel goes, the options button says it will show it, and one
// Alt+O does; a key pressed in the panel hands the keyboard back to the
// options button, as Alt+O pressed there does.
TEST_F(OptionsPanelKeys, EveryWayOfHidingThePanelTurnsTheButtonBack) {
  struct Way {
    const char* name;
    std::function<void()> hide;
    bool keyboardBack;
  };
  const Way ways[] = {
      {"Alt+O in the main window", [&] {
         SetFocus(form.Control(TMF::kEdit2));
         Press('O', Held::kAlt);
       }, true},
      {"Alt+O in the panel", [&] { Press('O', Held::kAlt); }, true},
      {"Esc in the panel", [&] { Press(VK_ESCAPE); }, true},
      {"Alt+F4 on the panel", [&] { Press(VK_F4, Held::kAlt); }, true},
      {"the system", [&] { ShowWindow(panel.Handle(), SW_HIDE); }, false},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    SetFocus(form.Files().Handle());
    Press('O', Held::kAlt);
    ASSERT_TRUE(PanelShown());
    EXPECT_EQ(WindowText(OptionsButton()), kHideOptions);
    EXPECT_EQ(GetActiveWindow(), panel.Handle());
    EXPECT_TRUE(IsChild(panel.Handle(), GetFocus()));

    way.hide();
    EXPECT_FALSE(PanelShown());
    EXPECT_EQ(WindowText(OptionsButton()), kShowOptions);
    if (way.keyboardBack) {
      EXPECT_EQ(GetActiveWindow(), form.Handle());
      EXPECT_EQ(GetFocus(), OptionsButton());
    }
    EXPECT_NE(panel.Handle(), nullptr);  // hidden, never closed
  }
  Press('O', Held::kAlt);
  EXPECT_TRUE(PanelShown());
}

// F10 in the panel opens the main window's menu bar, which then has the
// keyboard; the panel stays.
TEST_F(OptionsPanelKeys, F10OpensTheMainWindowsMenuBar) {
  static HMENU entered = nullptr;
  const SUBCLASSPROC watch = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) -> LRESULT {
    if (message == WM_INITMENU) {
      entered = reinterpret_cast<HMENU>(wParam);
      PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);  // leaves the menu bar
    }
    return DefSubclassProc(window, message, wParam, lParam);
  };
  entered = nullptr;
  SetWindowSubclass(form.Handle(), watch, 1, 0);
  Press('O', Held::kAlt);
  Press(VK_F10);
  RemoveWindowSubclass(form.Handle(), watch, 1);
  EXPECT_EQ(entered, GetMenu(form.Handle()));
  EXPECT_EQ(GetActiveWindow(), form.Handle());
  EXPECT_TRUE(PanelShown());
}

}  // namespace
}  // namespace varnex
