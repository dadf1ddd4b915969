#include "forms/hopt.h"

#include <gtest/gtest.h>

#include "framework/windowtext.h"
#include "tests/support/main_window.h"

namespace varnex {
namespace {

using OptionsPanel = testing::MainWindowTest;

HWND BoxWithCaption(HWND panel, const char* caption) {
  return FindWindowExA(panel, nullptr, "BUTTON", caption);
}

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

TEST_F(OptionsPanel, EveryChangeOfABoxIsStoredAtOnce) {
  Start();
  const std::pair<const char*, const char*> boxes[] = {
      {"Case sensitive", "CS"}, {"Back up changed files", "BU"}, {"Use dynamic variables", "DV"}};
  for (const auto& [caption, key] : boxes) {
    HWND box = BoxWithCaption(panel.Handle(), caption);
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(form.Settings().Read("Options", key), "True") << key;
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(form.Settings().Read("Options", key), "False") << key;
  }
  SendMessageA(BoxWithCaption(panel.Handle(), "Case sensitive"), BM_CLICK, 0, 0);
  EXPECT_TRUE(panel.CaseSensitive());
}

TEST_F(OptionsPanel, ClosingThePanelOnlyHidesIt) {
  Start();
  SendMessageA(panel.Handle(), WM_CLOSE, 0, 0);
  ASSERT_NE(panel.Handle(), nullptr);
  EXPECT_FALSE(IsWindowVisible(panel.Handle()));
}

TEST_F(OptionsPanel, HelpOpensTheDynamicVariablesPageAndSaysNothing) {
  Start();
  SendMessageA(panel.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(FindWindowExA(panel.Handle(), nullptr, "STATIC", "Help")),
                                                      STN_CLICKED), 0);
  ASSERT_EQ(services.programs.started.size(), 1u);
  EXPECT_EQ(services.programs.started[0], folder.Path() + "\\dv.html");
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

}  // namespace
}  // namespace varnex
