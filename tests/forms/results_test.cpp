#include "forms/results.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/windowtext.h"
#include "tests/support/canvas.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/fake_services.h"
#include "tests/support/layout_check.h"

namespace varnex {
namespace {

using testing::FakeServices;
using testing::LookOf;
using testing::PlaceOf;
using testing::PumpUntil;
using testing::WhenShown;

constexpr char kLogPath[] = "C:\\Program Files\\Varnex\\varnex.log";

class ResultsDialog : public ::testing::Test {
 protected:
  // A dialog that counts its beeps. It is shown only where a test needs it:
  // without a window manager, Wine takes two seconds to take a captioned
  // window off the screen.
  std::unique_ptr<TRF> Make(int searched, int replaced, bool shown = false, int failed = 0,
                            const std::vector<std::string>& failures = {}) {
    auto form = std::make_unique<TRF>(app, [this](UINT type) { beeps.push_back(type); });
    form->Create(searched, replaced, failed, kLogPath, 0, failures);
    if (shown) ShowWindow(form->Handle(), SW_SHOW);
    return form;
  }

  FakeServices services;
  Application app{GetModuleHandleA(nullptr), services.Get()};
  std::vector<UINT> beeps;
};

TEST_F(ResultsDialog, CentredFixedDialogWhoseOkComesFirstAndBeepsOnceShown) {
  const auto form = Make(1, 1);
  EXPECT_TRUE(beeps.empty());
  ShowWindow(form->Handle(), SW_SHOW);
  ShowWindow(form->Handle(), SW_SHOW);
  // Once on the screen, and once only.
  EXPECT_TRUE(testing::PumpUntil(app, [&] { return !beeps.empty(); }));
  app.ProcessPendingMessages();
  EXPECT_EQ(beeps, std::vector<UINT>{0});

  EXPECT_EQ(WindowText(form->Handle()), "Results...");
  RECT client, frame;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 289);
  EXPECT_EQ(client.bottom, 124);
  const LONG_PTR style = GetWindowLongPtrA(form->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  GetWindowRect(form->Handle(), &frame);
  EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 1);
  EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 1);

  HWND ok = form->Control(TRF::kButton2);
  HWND showLog = form->Control(TRF::kButton1);
  EXPECT_EQ(GetFocus(), ok);
  EXPECT_EQ(GetWindowLongPtrA(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetNextDlgTabItem(form->Handle(), ok, FALSE), showLog);
  EXPECT_EQ(GetNextDlgTabItem(form->Handle(), showLog, FALSE), ok);
}

// With files that failed, their list under the buttons, after them in the tab order.
TEST_F(ResultsDialog, IsLaidOutAtEachDpiWithTheNumbersAtTheRightEdge) {
  const auto form = Make(1234567, 7654321, false, 2, {"Cannot open file a. Why.", "Cannot open file b. Why."});
  EXPECT_EQ(WindowText(form->Control(TRF::kMemo1)), "Cannot open file a. Why.\r\nCannot open file b. Why.");
  EXPECT_EQ(GetNextDlgTabItem(form->Handle(), form->Control(TRF::kButton1), FALSE), form->Control(TRF::kMemo1));
  for (UINT dpi : {96u, 120u, 144u, 192u, 96u}) {
    if (dpi != form->Dpi()) testing::SendDpiChange(form->Handle(), form->Dpi(), dpi);
    ASSERT_EQ(form->Dpi(), dpi);
    testing::ExpectLaidOutAt(form->Handle(), TRF::LayoutTable(), {289, 216}, dpi);
    RECT client;
    GetClientRect(form->Handle(), &client);
    for (int count : {TRF::kLabel3, TRF::kLabel4}) {
      EXPECT_EQ(PlaceOf(form->Control(count)).right, client.right - ScaleToDpi(18, dpi)) << dpi;
    }
  }
}

TEST_F(ResultsDialog, LabelsTakeTheWidthOfWhatTheyShow) {
  const auto form = Make(3, 2);
  const struct {
    int id;
    const char* shown;  // "&&" in a caption shows as one ampersand
  } labels[] = {
      {TRF::kLabel5, "Find and replace successfully finished."},
      {TRF::kLabel1, "Files searched:"},
      {TRF::kLabel2, "Files found & replaced:"},
  };
  HDC dc = GetDC(form->Handle());
  for (const auto& label : labels) {
    SCOPED_TRACE(label.shown);
    HWND control = form->Control(label.id);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE text;
    GetTextExtentPoint32A(dc, label.shown, lstrlenA(label.shown), &text);
    const RECT place = PlaceOf(control);
    EXPECT_EQ(place.right - place.left, text.cx);
    EXPECT_EQ(place.bottom - place.top, text.cy);
    EXPECT_EQ(LookOf(form->Handle(), control).colour, GetSysColor(COLOR_WINDOWTEXT));
  }
  ReleaseDC(form->Handle(), dc);
}

// Only a run that did every file calls itself a success; one with failures
// says how many, within the dialog.
TEST_F(ResultsDialog, NumbersStandInBlueAtTheSameRightEdgeUnderWhatBecameOfTheRun) {
  const struct {
    int searched, replaced, failed;
    const char* finished;
  } runs[] = {
      {3, 2, 0, "Find and replace successfully finished."}, {3, 0, 0, "Find and replace successfully finished."},
      {0, 0, 0, "Find and replace successfully finished."}, {12345, 7, 1, "1 file could not be processed."},
      {8, 1000000, 2, "2 files could not be processed."},   {1000000, 0, 999999, "999999 files could not be processed."},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(std::to_string(run.searched) + " and " + std::to_string(run.replaced));
    const auto form = Make(run.searched, run.replaced, false, run.failed);
    HWND finished = form->Control(TRF::kLabel5);
    EXPECT_EQ(WindowText(finished), run.finished);
    EXPECT_LE(PlaceOf(finished).right, 289);
    HWND searched = form->Control(TRF::kLabel3);
    HWND replaced = form->Control(TRF::kLabel4);
    EXPECT_EQ(WindowText(searched), std::to_string(run.searched));
    EXPECT_EQ(WindowText(replaced), std::to_string(run.replaced));
    const RECT searchedPlace = PlaceOf(searched), replacedPlace = PlaceOf(replaced);
    EXPECT_EQ(searchedPlace.right, 289 - 18);
    EXPECT_EQ(replacedPlace.right, 289 - 18);
    EXPECT_EQ(searchedPlace.top, 36);
    EXPECT_EQ(replacedPlace.top, 57);
    EXPECT_EQ(searchedPlace.left < replacedPlace.left, run.searched > 9 && run.replaced <= 9);
    EXPECT_EQ(LookOf(form->Handle(), searched).colour, RGB(0, 0, 255));
    EXPECT_EQ(LookOf(form->Handle(), replaced).colour, RGB(0, 0, 255));
  }
}

TEST_F(ResultsDialog, ArrowIsStretchedOverTheWholePanel) {
  const auto form = Make(1, 1);
  HWND image = form->Control(TRF::kImage1);
  RECT all;
  GetClientRect(image, &all);
  const testing::Canvas canvas(all.right, all.bottom);
  FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  DRAWITEMSTRUCT item{ODT_STATIC, TRF::kImage1, 0, ODA_DRAWENTIRE, 0, image, canvas.Dc(), all, 0};
  SendMessageA(form->Handle(), WM_DRAWITEM, TRF::kImage1, reinterpret_cast<LPARAM>(&item));

  // 23 x 17 grown to 65 x 51: white corners, blue body, the black tip near the right.
  const COLORREF white = RGB(255, 255, 255), blue = RGB(0, 0, 255), black = RGB(0, 0, 0);
  const struct {
    int x, y;
    COLORREF colour;
  } pixels[] = {{0, 0, white}, {64, 0, white}, {0, 50, white}, {64, 50, white},
                {32, 25, blue},  {10, 25, blue}, {57, 25, black}};
  EXPECT_EQ(all.right, 65);
  EXPECT_EQ(all.bottom, 51);
  for (const auto& pixel : pixels) {
    EXPECT_EQ(canvas.Pixel(pixel.x, pixel.y), pixel.colour) << pixel.x << "," << pixel.y;
  }
}

TEST_F(ResultsDialog, EveryShowLogFileStartsAnotherEditorAndTheDialogStays) {
  const auto form = Make(3, 2);
  SendMessageA(form->Control(TRF::kButton1), BM_CLICK, 0, 0);
  SendMessageA(form->Control(TRF::kButton1), BM_CLICK, 0, 0);
  char windows[MAX_PATH];
  const std::string commandLine =
      std::string(windows, GetWindowsDirectoryA(windows, MAX_PATH)) + "\\NOTEPAD.EXE " + kLogPath;
  EXPECT_EQ(services.programs.started, (std::vector<std::string>{commandLine, commandLine}));
  EXPECT_EQ(services.programs.showCommands, (std::vector<UINT>{SW_SHOW, SW_SHOW}));
  EXPECT_TRUE(IsWindow(form->Handle()));
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

TEST_F(ResultsDialog, OkEnterAndTheCloseBoxEachCloseIt) {
  const struct {
    const char* how;
    bool shown;  // Enter needs a dialog on the screen with its focus
    void (*close)(HWND form);
  } ways[] = {
      {"OK", false, [](HWND form) { PostMessageA(GetDlgItem(form, TRF::kButton2), BM_CLICK, 0, 0); }},
      {"Enter", true, [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }},
      // The keyboard is back on OK: Enter does not open the log a second time.
      {"Enter after Show LOG file", true, [](HWND form) {
         SendMessageA(GetDlgItem(form, TRF::kButton1), BM_CLICK, 0, 0), PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
       }},
      {"close box", false, [](HWND form) { PostMessageA(form, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    const auto form = Make(3, 2, way.shown);
    way.close(form->Handle());
    EXPECT_TRUE(PumpUntil(app, [&] { return form->Handle() == nullptr; }));
  }
  EXPECT_EQ(services.programs.started.size(), 1u);
}

TEST_F(ResultsDialog, ShowWaitsUntilTheDialogHasClosed) {
  std::string numbers;
  const WhenShown enter("Results...", [&](HWND form) {
    numbers = WindowText(GetDlgItem(form, TRF::kLabel5)) + " " + WindowText(GetDlgItem(form, TRF::kLabel3)) + " " +
              WindowText(GetDlgItem(form, TRF::kLabel4)) + " " + WindowText(GetDlgItem(form, TRF::kMemo1));
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
  });
  const Error readOnly = Error::Format(kCannotOpenFile, "C:\\a.txt").Because(FailureReason::kReadOnly);
  TRF::Show(app, RunCounts{5, 4, 1, {"C:\\b.png"}, {{"C:\\a.txt", readOnly}}}, kLogPath);
  EXPECT_EQ(numbers,
            "1 file could not be processed. 5 4 Cannot open file C:\\a.txt. The file is read-only.\r\n"
            "Skipped C:\\b.png. The file holds binary data, not text.");
  EXPECT_EQ(FindWindowA(nullptr, "Results..."), nullptr);
}

}  // namespace
}  // namespace varnex
