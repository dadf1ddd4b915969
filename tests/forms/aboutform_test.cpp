#include "forms/aboutform.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "framework/windowtext.h"
#include "resources/resource.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/fake_services.h"
#include "tests/support/keyboard.h"
#include "tests/support/layout_check.h"

namespace varnex {
namespace {

using testing::FakeServices;
using testing::Press;
using testing::LookOf;
using testing::MovePointer;
using testing::PlaceOf;
using testing::WhenShown;

constexpr LinkLooks kPlain{}, kWebLit{.webLit = true}, kMailLit{.mailLit = true};

// Both links as they are drawn; a lit link is red and underlined, a plain one
// blue and not underlined.
LinkLooks DrawnLooks(HWND box) {
  const auto lit = [box](int link) {
    const testing::LabelLook look = LookOf(box, GetDlgItem(box, link));
    const bool red = look.colour == RGB(255, 0, 0), blue = look.colour == RGB(0, 0, 255);
    EXPECT_TRUE((red && look.underlined) || (blue && !look.underlined))
        << "colour " << std::hex << look.colour << ", underlined " << look.underlined;
    return red;
  };
  return {.webLit = lit(TAbout::kLabel5), .mailLit = lit(TAbout::kLabel7)};
}

POINT CentreOf(HWND box, int control) {
  const RECT place = PlaceOf(GetDlgItem(box, control));
  return {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
}

class AboutBox : public ::testing::Test {
 protected:
  AboutBox() { app.SetHintHidePause(10000); }

  // Not shown unless a test needs it: without a window manager, Wine takes two
  // seconds to take a captioned window off the screen.
  std::unique_ptr<TAbout> Make() {
    auto box = std::make_unique<TAbout>(app);
    box->Create();
    return box;
  }

  FakeServices services;
  // Every look at the clock finds the message pump's pause over, so a key
  // pressed is handled at once.
  ULONGLONG ticks = 0;
  Application app{GetModuleHandleA(nullptr), services.Get(), [this] { return ticks += 1000; }};
};

TEST(LinkLooks, EachControlLightsItsOwnLinkOrLeavesThemAlone) {
  const struct {
    int control;  // 0: the box's own background
    LinkLooks fromPlain, fromWeb, fromMail;
  } cases[] = {
      {0, kPlain, kPlain, kPlain},
      {TAbout::kBevel1, kPlain, kWebLit, kMailLit},
      {TAbout::kImage1, kPlain, kPlain, kPlain},
      {TAbout::kLabel1, kPlain, kPlain, kPlain},
      {TAbout::kLabel2, kPlain, kPlain, kPlain},
      {TAbout::kLabel3, kPlain, kPlain, kPlain},
      {TAbout::kLabel4, kPlain, kPlain, kPlain},
      {TAbout::kLabel5, kWebLit, kWebLit, kWebLit},
      {TAbout::kLabel6, kPlain, kPlain, kPlain},
      {TAbout::kLabel7, kMailLit, kMailLit, kMailLit},
      {TAbout::kLabel8, kPlain, kWebLit, kMailLit},
      {TAbout::kBitBtn1, kPlain, kPlain, kPlain},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control);
    const MouseMove behaviour = TAbout::MouseMoveOf(c.control);
    EXPECT_EQ(LooksAfter(kPlain, behaviour), c.fromPlain);
    EXPECT_EQ(LooksAfter(kWebLit, behaviour), c.fromWeb);
    EXPECT_EQ(LooksAfter(kMailLit, behaviour), c.fromMail);
  }
}

TEST_F(AboutBox, CentredBoxWithoutTitleBarButtonsShowsTheIcon) {
  const auto box = Make();
  EXPECT_EQ(WindowText(box->Handle()), "About Varnex");
  RECT client, frame;
  GetClientRect(box->Handle(), &client);
  EXPECT_EQ(client.right, 234);
  EXPECT_EQ(client.bottom, 161);
  const LONG_PTR style = GetWindowLongPtrA(box->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  GetWindowRect(box->Handle(), &frame);
  EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 1);
  EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 1);

  HWND image = box->Control(TAbout::kImage1);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(image, STM_GETICON, 0, 0)),
            LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VARNEX)));
  const RECT picture = PlaceOf(image);
  EXPECT_EQ(picture.right - picture.left, 32);
  EXPECT_EQ(picture.bottom - picture.top, 32);

  EXPECT_EQ(WindowText(box->Control(TAbout::kLabel2)), "Varnex 2.01");
}

TEST_F(AboutBox, IsLaidOutAtEachDpiWithWholeTextsAndALitLinkStaysLit) {
  const auto box = Make();
  for (UINT dpi : {96u, 120u, 144u, 192u, 96u}) {
    if (dpi != box->Dpi()) testing::SendDpiChange(box->Handle(), box->Dpi(), dpi);
    ASSERT_EQ(box->Dpi(), dpi);
    testing::ExpectLaidOutAt(box->Handle(), TAbout::LayoutTable(), {234, 161}, dpi);
  }
  box->Label5MouseMove();
  testing::SendDpiChange(box->Handle(), 96, 120);
  EXPECT_EQ(DrawnLooks(box->Handle()), kWebLit);
}

TEST_F(AboutBox, PointerLightsTheLinkUnderIt) {
  const auto box = Make();
  ShowWindow(box->Handle(), SW_SHOW);  // the pointer finds only what is on the screen
  HWND form = box->Handle();
  EXPECT_EQ(DrawnLooks(form), kPlain);
  const struct {
    const char* over;
    POINT point;
    LinkLooks looks;
  } steps[] = {
      {"web link", CentreOf(form, TAbout::kLabel5), kWebLit},
      {"e-mail link", CentreOf(form, TAbout::kLabel7), kMailLit},
      {"OK", CentreOf(form, TAbout::kBitBtn1), kPlain},
      {"web link again", CentreOf(form, TAbout::kLabel5), kWebLit},
      {"Label8", CentreOf(form, TAbout::kLabel8), kWebLit},
      {"bevel's frame", {10, 10}, kWebLit},
      {"icon", CentreOf(form, TAbout::kImage1), kPlain},
      {"e-mail link again", CentreOf(form, TAbout::kLabel7), kMailLit},
      {"Web Site:", CentreOf(form, TAbout::kLabel4), kPlain},
      {"web link once more", CentreOf(form, TAbout::kLabel5), kWebLit},
      {"background", {5, 150}, kPlain},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.over);
    MovePointer(form, step.point);
    EXPECT_EQ(DrawnLooks(form), step.looks);
  }
}

TEST_F(AboutBox, OnlyTheLinksShowTheHandAndAHint) {
  const auto box = Make();
  const struct {
    int control;
    bool hand;
    const char* hint;
  } cases[] = {
      {TAbout::kLabel5, true, "http://www.varnex.test/"},
      {TAbout::kLabel7, true, "Mailto support@varnex.test"},
      {TAbout::kLabel8, true, ""},  // the licence: a link without an address to show
      {TAbout::kLabel4, false, ""},
      {TAbout::kBitBtn1, false, ""},
  };
  const HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
  EXPECT_EQ(SendMessageA(box->Hints(), TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 10000);
  for (const auto& c : cases) {
    HWND control = box->Control(c.control);
    SCOPED_TRACE(WindowText(control));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageA(box->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor() == hand, c.hand);

    char text[128] = "";
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = box->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageA(box->Hints(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, c.hint);
  }
}

TEST_F(AboutBox, LinkClicksOpenThroughTheShellHiddenAndTheBoxStays) {
  const auto box = Make();
  for (int link : {TAbout::kLabel5, TAbout::kLabel7, TAbout::kLabel8}) {
    SendMessageA(box->Control(link), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(box->Control(link), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(services.programs.started,
            (std::vector<std::string>{"http://www.varnex.test/", "mailto:support@varnex.test",
                                      std::string(windows) + "\\NOTEPAD.EXE " + ProgramDirectory() + "\\license.txt"}));
  EXPECT_EQ(services.programs.showCommands, (std::vector<UINT>{SW_HIDE, SW_HIDE, SW_SHOWNORMAL}));
  EXPECT_EQ(services.programs.parents, (std::vector<HWND>{GetDesktopWindow(), GetDesktopWindow(), nullptr}));
  EXPECT_TRUE(IsWindow(box->Handle()));
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

// Tab goes from OK to the two links and round again; Enter or Space on a link
// opens it as a click does, and the box stays.
TEST_F(AboutBox, TabReachesTheLinksWhichOpenWithEnterOrSpace) {
  std::vector<int> round;
  const WhenShown driver("About Varnex", [&](HWND form) {
    for (int step = 0; step < 4; ++step) {
      round.push_back(GetDlgCtrlID(GetFocus()));
      Press(app, VK_TAB);
    }
    round.push_back(GetDlgCtrlID(GetFocus()));
    Press(app, VK_TAB);
    Press(app, VK_RETURN);
    Press(app, VK_TAB);
    Press(app, VK_SPACE);
    EXPECT_TRUE(IsWindowVisible(form));
    PostMessageA(form, WM_CLOSE, 0, 0);
  });
  TAbout::Show(app);
  EXPECT_EQ(round, (std::vector<int>{TAbout::kBitBtn1, TAbout::kLabel5, TAbout::kLabel7, TAbout::kLabel8,
                                     TAbout::kBitBtn1}));
  EXPECT_EQ(services.programs.started,
            (std::vector<std::string>{"http://www.varnex.test/", "mailto:support@varnex.test"}));
}

TEST_F(AboutBox, ShellFailuresAreSwallowed) {
  struct FailingStarter final : ProgramStarter {
    UINT Exec(const std::string&, UINT) override { throw std::runtime_error("no editor"); }
    HINSTANCE ShellOpen(HWND, const std::string&, INT) override { throw std::runtime_error("no handler"); }
  } failing;
  Application failingApp(GetModuleHandleA(nullptr), Services{services.messageBoxes, services.fileDialogs, failing});
  TAbout box(failingApp);
  box.Create();
  box.Label5Click();
  box.Label7Click();
  EXPECT_TRUE(IsWindow(box.Handle()));
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

TEST_F(AboutBox, EachOpeningIsFreshWithPlainLinksAndEnterOrOkClosesIt) {
  const struct {
    const char* how;
    void (*close)(HWND form);
  } openings[] = {
      {"Enter", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }},
      {"OK", [](HWND form) { PostMessageA(GetDlgItem(form, TAbout::kBitBtn1), BM_CLICK, 0, 0); }},
  };
  for (const auto& opening : openings) {
    SCOPED_TRACE(opening.how);
    LinkLooks atStart = kWebLit;
    const WhenShown driver("About Varnex", [&](HWND form) {
      atStart = DrawnLooks(form);
      MovePointer(form, CentreOf(form, TAbout::kLabel5));
      EXPECT_EQ(GetFocus(), GetDlgItem(form, TAbout::kBitBtn1));
      opening.close(form);
    });
    TAbout::Show(app);
    EXPECT_EQ(atStart, kPlain);
    EXPECT_EQ(FindWindowA(nullptr, "About Varnex"), nullptr);
  }
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

}  // namespace
}  // namespace varnex
