#include "forms/main.h"

#include <gtest/gtest.h>

#include "framework/windowtext.h"
#include "run/localclock.h"
#include "tests/support/batch_run.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/layout_check.h"
#include "tests/support/main_window.h"

namespace varnex {
namespace {

using testing::MainWindowTest;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

using MainWindow = MainWindowTest;
using MainWindowRun = testing::BatchRun;

TEST_F(MainWindow, StartsCentredWithItsFixedFrameAndLogsStartAndClose) {
  const std::string before = CurrentTimeStamp();
  program.Create();
  const std::string after = CurrentTimeStamp();
  ASSERT_NE(form.Handle(), nullptr);
  EXPECT_FALSE(IsWindowVisible(form.Handle()));

  EXPECT_EQ(WindowText(form.Handle()), "Varnex 2.01");
  const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongPtrA(form.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

  EXPECT_EQ(form.LogPath(), folder / "varnex.log");
  std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0] == before + " - Application Started" || lines[0] == after + " - Application Started")
      << lines[0];

  form.Show();
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  RECT frame;
  GetWindowRect(form.Handle(), &frame);
  EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 1);
  EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
  // The first showing: the placeholder, both controls off, the panel hidden
  // with its boxes clear, and no settings file yet.
  EXPECT_EQ(Entries(), std::vector<std::string>{"No files added"});
  EXPECT_FALSE(RunEnabled());
  EXPECT_FALSE(MinusEnabled());
  EXPECT_FALSE(IsWindowVisible(panel.Handle()));
  EXPECT_FALSE(panel.Checked(TAF::Option::kCaseSensitive));
  EXPECT_EQ(GetFileAttributesA((folder / "settings.ini").c_str()), INVALID_FILE_ATTRIBUTES);

  form.Button4Click();
  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(form.Handle(), nullptr);
  EXPECT_EQ(panel.Handle(), nullptr);  // the panel goes with the main window
  lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[1].ends_with(" - Application Closed"));
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

TEST_F(MainWindow, LogThatCannotBeSavedIsReportedAndNeverKeepsTheProgramOpen) {
  const std::string directory = folder / "gone";
  TMF lost(app, directory);
  lost.Create();
  ASSERT_NE(lost.Handle(), nullptr);
  ASSERT_EQ(services.messageBoxes.shown.size(), 1u);
  const testing::ShownBox& box = services.messageBoxes.shown[0];
  EXPECT_EQ(box.caption, "Varnex");
  EXPECT_EQ(box.text, "Cannot create file " + directory + "\\varnex.log.");
  EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));

  SendMessageA(lost.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(lost.Handle(), nullptr);
  EXPECT_EQ(services.messageBoxes.shown.size(), 2u);
  // Both lines wait in memory for a save that can succeed.
  EXPECT_EQ(lost.Log().Lines().size(), 2u);
}

TEST_F(MainWindow, FirstShowingAppliesExactlyTrueOptionsAndWritesThemBack) {
  const std::string ini = folder / "settings.ini";
  WriteFileBytes(ini, "[OPTIONS]\r\ncs=True\r\nBU=true\r\nDv= \"True\" \r\n");
  Start();
  EXPECT_TRUE(panel.Checked(TAF::Option::kCaseSensitive));
  EXPECT_FALSE(panel.Checked(TAF::Option::kBackUp));
  EXPECT_TRUE(panel.Checked(TAF::Option::kDynamicVariables));
  EXPECT_TRUE(panel.CaseSensitive());
  EXPECT_EQ(form.Settings().Read("Options", "CS"), "True");
  EXPECT_EQ(form.Settings().Read("Options", "BU"), "true");
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

TEST_F(MainWindow, FirstShowingGoesOnWhenAWriteBackFails) {
  const std::string ini = folder / "settings.ini";
  WriteFileBytes(ini, "[Options]\r\nCS=True\r\nBU=True\r\n");
  // Another program holds the file: it can be read but not written.
  const FileHandle holder(CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  Start();
  ASSERT_EQ(services.messageBoxes.shown.size(), 2u);
  EXPECT_EQ(services.messageBoxes.shown[0].text, "Unable to write to " + ini + ".");
  EXPECT_EQ(services.messageBoxes.shown[0].caption, "Varnex");
  // The boxes keep the state they were given, and the placeholder came.
  EXPECT_TRUE(panel.Checked(TAF::Option::kCaseSensitive));
  EXPECT_TRUE(panel.Checked(TAF::Option::kBackUp));
  EXPECT_EQ(Entries(), std::vector<std::string>{"No files added"});
}

TEST_F(MainWindow, TabGoesThroughTheControlsInTheirOrder) {
  Start();
  EnableWindow(form.Control(TMF::kButton), TRUE);
  const int order[] = {TMF::kListBox1, TMF::kButton4, TMF::kEdit2, TMF::kEdit3, TMF::kButton, TMF::kListBox1};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), form.Control(order[i]), FALSE), form.Control(order[i + 1])) << i;
  }
}

// The find and replace texts hold any text as typed, Greek, Chinese, Russian
// and an emoji (two keys) alike, several lines included; a file named in any
// script is named whole in its message.
TEST_F(MainWindowRun, TextsAndNamesInAnyScriptStayWhole) {
  const std::u16string typed[] = {u"\u03B1\u03B2\u03B3 \u4E2D\u6587\r\u0420\u0443\u0441\u0441\u043A\u0438\u0439",
                                  u"smile\U0001F600"};
  for (int i : {0, 1}) {
    for (char16_t unit : typed[i]) SendMessageW(form.Control(i == 0 ? TMF::kEdit2 : TMF::kEdit3), WM_CHAR, unit, 0);
  }
  EXPECT_EQ(WindowText(form.Control(TMF::kEdit2)),
            "\u03B1\u03B2\u03B3 \u4E2D\u6587\r\n\u0420\u0443\u0441\u0441\u043A\u0438\u0439");
  EXPECT_EQ(WindowText(form.Control(TMF::kEdit3)), "smile\U0001F600");

  const std::string missing = folder / "\u041E\u0442\u0447\u0451\u0442 \u65E5\u672C\u8A9E smile\U0001F600.txt";
  List({missing});
  EXPECT_TRUE(Run().shown);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot open file " + missing + "."});
}

TEST_F(MainWindow, TimerKeepsThePanelGluedAndOnTheScreen) {
  Start();
  const int screen = GetSystemMetrics(SM_CXSCREEN);
  RECT main, glued;
  GetWindowRect(form.Handle(), &main);
  const int width = main.right - main.left;
  SetWindowPos(form.Handle(), nullptr, screen - width - 10, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

  form.Timer1Timer();  // hidden: it follows, nothing is pushed
  GetWindowRect(form.Handle(), &main);
  GetWindowRect(panel.Handle(), &glued);
  EXPECT_EQ(main.left, screen - width - 10);
  EXPECT_EQ(glued.left, main.right);
  EXPECT_EQ(glued.top, main.top + 191);

  form.Button4Click();
  form.Timer1Timer();  // shown: the main window makes room
  GetWindowRect(form.Handle(), &main);
  GetWindowRect(panel.Handle(), &glued);
  EXPECT_EQ(glued.right, screen);
  EXPECT_EQ(glued.left, main.right);
}

// Made at 96 DPI, then moved through monitors of every scale and back.
TEST_F(MainWindow, IsLaidOutAtEachDpiWithThreeLinesInEachMemoAndThePanelGlued) {
  Start();
  for (UINT dpi : {96u, 120u, 144u, 192u, 96u}) {
    if (dpi != form.Dpi()) {
      testing::SendDpiChange(form.Handle(), form.Dpi(), dpi);
      testing::SendDpiChange(panel.Handle(), panel.Dpi(), dpi);
    }
    ASSERT_EQ(form.Dpi(), dpi);
    testing::ExpectLaidOutAt(form.Handle(), TMF::LayoutTable(), {273, 353}, dpi);
    testing::ExpectLaidOutAt(panel.Handle(), TAF::LayoutTable(), {181, 81}, dpi);
    EXPECT_EQ(SendMessageA(form.Files().Handle(), LB_GETITEMHEIGHT, 0, 0), ScaleToDpi(13, dpi));

    for (int memo : {TMF::kEdit2, TMF::kEdit3}) {
      HWND edit = form.Control(memo);
      RECT text;
      SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
      HDC dc = GetDC(edit);
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)));
      TEXTMETRICA metrics;
      GetTextMetricsA(dc, &metrics);
      ReleaseDC(edit, dc);
      EXPECT_GE((text.bottom - text.top) / metrics.tmHeight, 3) << "memo " << memo << " at " << dpi;
    }

    form.Timer1Timer();
    RECT main, glued;
    GetWindowRect(form.Handle(), &main);
    GetWindowRect(panel.Handle(), &glued);
    EXPECT_EQ(glued.left, main.right);
    EXPECT_EQ(glued.top, main.top + ScaleToDpi(191, dpi));
  }
}

TEST_F(MainWindow, HelpMenuOpensTheAboutBoxModally) {
  Start();
  const testing::WhenShown closer("About Varnex", [](HWND box) { SendMessageA(box, WM_COMMAND, IDOK, 0); });
  SendMessageA(form.Handle(), WM_COMMAND, TMF::kAbout1, 0);
  EXPECT_TRUE(closer.Acted());
  EXPECT_TRUE(IsWindowEnabled(form.Handle()));
}

TEST_F(MainWindow, HelpMenuOpensTheVersionHistoryInTheEditor) {
  Start();
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  SendMessageA(form.Handle(), WM_COMMAND, TMF::kVersionHistory1, 0);
  SendMessageA(form.Handle(), WM_COMMAND, TMF::kVersionHistory1, 0);
  ASSERT_EQ(services.programs.started.size(), 2u);
  EXPECT_EQ(services.programs.started[0], std::string(windows) + "\\NOTEPAD.EXE " + folder.Path() + "\\versions.txt");
}

TEST_F(MainWindow, PendingMessagesAreLetThroughAtMostEvery10Milliseconds) {
  Start();
  tickStep = 0;
  ticks += 1000;
  const auto waiting = [] {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_APP, WM_APP, PM_NOREMOVE) != FALSE;
  };
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  app.ProcessPendingMessages();
  EXPECT_FALSE(waiting());

  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  ticks += 9;
  app.ProcessPendingMessages();
  EXPECT_TRUE(waiting());
  ticks += 1;
  app.ProcessPendingMessages();
  EXPECT_FALSE(waiting());
}

}  // namespace
}  // namespace varnex
