#include "shell/main.h"

#include <gtest/gtest.h>

#include "run/localclock.h"
#include "run/textlines.h"
#include "tests/support/fake_services.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::FakeServices;
using testing::ReadFileBytes;
using testing::TempFolder;

class MainWindow : public ::testing::Test {
 protected:
  MainWindow() { app.SetTitle("Varnex"); }
  ~MainWindow() override {
    // Closing the main window ends the message loop; the next test starts afresh.
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  std::vector<std::string> LogLines(const std::string& path) {
    const std::string bytes = ReadFileBytes(path);
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    std::vector<std::string> lines;
    for (std::string_view line : SplitLines(bytes)) lines.emplace_back(line);
    return lines;
  }

  TempFolder folder;
  FakeServices services;
  Application app{GetModuleHandleA(nullptr), services.Get()};
};

TEST_F(MainWindow, StartsCentredWithItsFixedFrameAndLogsStartAndClose) {
  TMF form(app, folder.Path());
  const std::string before = CurrentTimeStamp();
  form.Create();
  const std::string after = CurrentTimeStamp();
  ASSERT_NE(form.Handle(), nullptr);
  EXPECT_FALSE(IsWindowVisible(form.Handle()));

  char caption[64];
  GetWindowTextA(form.Handle(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Varnex 2.01");
  RECT client;
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 273);
  EXPECT_EQ(client.bottom, 343);
  const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);

  const std::string logPath = folder / "varnex.log";
  EXPECT_EQ(form.LogPath(), logPath);
  std::vector<std::string> lines = LogLines(logPath);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0] == before + " - Application Started" || lines[0] == after + " - Application Started")
      << lines[0];

  form.Show();
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  RECT frame;
  GetWindowRect(form.Handle(), &frame);
  EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 1);
  EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 1);

  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(form.Handle(), nullptr);
  lines = LogLines(logPath);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[1].ends_with(" - Application Closed"));
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

TEST_F(MainWindow, LogThatCannotBeSavedIsReportedAndNeverKeepsTheProgramOpen) {
  const std::string directory = folder / "gone";
  TMF form(app, directory);
  form.Create();
  ASSERT_NE(form.Handle(), nullptr);
  ASSERT_EQ(services.messageBoxes.shown.size(), 1u);
  const testing::ShownBox& box = services.messageBoxes.shown[0];
  EXPECT_EQ(box.caption, "Varnex");
  EXPECT_EQ(box.text, "Cannot create file " + directory + "\\varnex.log.");
  EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));

  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(form.Handle(), nullptr);
  EXPECT_EQ(services.messageBoxes.shown.size(), 2u);
  // Both lines wait in memory for a save that can succeed.
  EXPECT_EQ(form.Log().Lines().size(), 2u);
}

TEST_F(MainWindow, ReplaceStrMarksAndLogsOnlyLoggedChanges) {
  TMF form(app, folder.Path());
  form.Create();
  EXPECT_EQ(form.ReplaceStr("Ab ab", "ab", "x", false), "x x");
  EXPECT_FALSE(form.FileChanged);
  form.SetCaseSensitive(true);
  EXPECT_EQ(form.ReplaceStr("Ab ab", "ab", "x", true, "C:\\docs\\a.txt"), "Ab x");
  EXPECT_TRUE(form.FileChanged);
  EXPECT_EQ(form.ReplaceStr("no match", "ab", "x", true, "C:\\docs\\b.txt"), "no match");

  const std::vector<std::string> lines = LogLines(folder / "varnex.log");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[1].ends_with(" - ab found in C:\\docs\\a.txt and replaced to x")) << lines[1];
}

TEST_F(MainWindow, ExpandsVariablesWithTheCaseOptionAndWithoutLogging) {
  TMF form(app, folder.Path());
  form.Create();
  const std::string path = "C:\\docs\\report.txt";
  EXPECT_EQ(form.ExpandVariables("$FILE in $filedir", path), "report in C:\\docs");
  form.SetCaseSensitive(true);
  EXPECT_EQ(form.ExpandVariables("$FILE in $filedir", path), "$FILE in C:\\docs");
  EXPECT_FALSE(form.FileChanged);
  EXPECT_EQ(LogLines(folder / "varnex.log").size(), 1u);
}

TEST_F(MainWindow, ReplaceStrLetsPendingMessagesThrough) {
  TMF form(app, folder.Path());
  form.Create();
  MSG waiting;
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  form.ReplaceStr("nothing to find", "x", "y", false);
  EXPECT_TRUE(PeekMessageA(&waiting, nullptr, WM_APP, WM_APP, PM_NOREMOVE));
  form.ReplaceStr("x", "x", "y", false);
  EXPECT_FALSE(PeekMessageA(&waiting, nullptr, WM_APP, WM_APP, PM_NOREMOVE));
}

}  // namespace
}  // namespace varnex
