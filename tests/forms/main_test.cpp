#include "forms/main.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <optional>

#include "framework/handle.h"
#include "framework/speedbutton.h"
#include "framework/unicode.h"
#include "framework/windowtext.h"
#include "run/localclock.h"
#include "tests/support/batch_run.h"
#include "tests/support/canvas.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/keyboard.h"
#include "tests/support/layout_check.h"
#include "tests/support/main_window.h"
#include "tests/support/pointer.h"

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
  EXPECT_FALSE(panel.Checked(&RunOptions::caseSensitive));
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
  EXPECT_TRUE(panel.Checked(&RunOptions::caseSensitive));
  EXPECT_FALSE(panel.Checked(&RunOptions::backUp));
  EXPECT_TRUE(panel.Checked(&RunOptions::dynamicVariables));
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
  EXPECT_TRUE(panel.Checked(&RunOptions::caseSensitive));
  EXPECT_TRUE(panel.Checked(&RunOptions::backUp));
  EXPECT_EQ(Entries(), std::vector<std::string>{"No files added"});
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
    testing::ExpectLaidOutAt(panel.Handle(), TAF::LayoutTable(), {181, 130}, dpi);
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

// Screen readers read a name for every control: its caption, the label
// before it, or for a control without either the name it was given, which a
// picture button also shows as its hint.
TEST_F(MainWindow, EveryControlHasANameForScreenReadersAndPictureButtonsShowItAsTheirHint) {
  Start();
  const std::pair<int, const char*> given[] = {
      {TMF::kListBox1, "Files"},
      {TMF::kSpeedButton1, "Add files to the list"},
      {TMF::kSpeedButton2, "Remove files from the list"},
      {TMF::kEdit2, "Find:"},  // their labels
      {TMF::kEdit3, "Replace to:"},
      {TMF::kProgressBar1, "Progress"},
      {TMF::kLabel5, nullptr},  // up only during a run, with its figures
  };
  HWND hints = nullptr;
  for (HWND window = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); window != nullptr;
       window = FindWindowExW(nullptr, window, TOOLTIPS_CLASSW, nullptr)) {
    if (GetWindow(window, GW_OWNER) == form.Handle()) hints = window;
  }
  ASSERT_NE(hints, nullptr);
  for (const ControlLayout& entry : TMF::LayoutTable()) {
    std::string expected = entry.caption;
    std::erase(expected, '&');
    for (auto [id, name] : given) {
      if (id == entry.id) expected = name != nullptr ? name : "";
    }
    if (expected.empty()) continue;
    SCOPED_TRACE(expected);
    EXPECT_EQ(testing::AccessibleName(form.Control(entry.id)), expected);

    if (std::string(entry.className) != kSpeedButtonClass) continue;
    wchar_t text[128] = L"";
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(form.Control(entry.id));
    tool.lpszText = text;
    SendMessageW(hints, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(Utf8(text), expected);
  }
}

// The main window driven by keys as the system delivers them (see
// tests/support/keyboard.h).
class MainWindowKeys : public MainWindowTest {
 protected:
  void SetUp() override {
    Start(true);
    for (const char* path : {"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}) form.Files().Append(path);
    SendMessageW(form.Files().Handle(), LB_DELETESTRING, 0, 0);  // the placeholder
    form.FollowListState();
    SetForegroundWindow(form.Handle());
    SetFocus(form.Files().Handle());
  }

  using Held = testing::Held;
  static constexpr Held kNone = Held::kNone, kShift = Held::kShift, kAlt = Held::kAlt;
  void Press(WPARAM key, Held held = kNone) { testing::Press(app, key, held); }
  RECT ScreenRect(HWND window) {
    RECT place;
    GetWindowRect(window, &place);
    return place;
  }
};

TEST_F(MainWindowKeys, TabGoesThroughTheControlsInTheirOrderThePictureButtonsIncluded) {
  const int order[] = {TMF::kSpeedButton1, TMF::kSpeedButton2, TMF::kButton4, TMF::kEdit2,
                       TMF::kEdit3,        TMF::kButton,       TMF::kListBox1};
  for (int id : order) {
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), form.Control(id)) << id;
  }
  Press(VK_TAB, kShift);
  EXPECT_EQ(GetFocus(), form.Control(TMF::kButton));
}

// Esc in a memo is the window's Esc, which stops a run: the multi-line box
// would take it for itself and close the program, list and all.
TEST_F(MainWindowKeys, EscInAMemoLeavesTheProgramOpen) {
  for (int memo : {TMF::kEdit2, TMF::kEdit3}) {
    SetFocus(form.Control(memo));
    Press(VK_ESCAPE);
    app.ProcessPendingMessages();
    ASSERT_TRUE(IsWindowVisible(form.Handle())) << memo;
  }
}

// Opened from the keyboard a menu comes up where the keyboard is, its first
// item lit so that Enter alone picks it; opened with the mouse, at the pointer.
TEST_F(MainWindowKeys, MenusOpenBelowWhatTheKeyboardIsOnOrAtThePointer) {
  HWND list = form.Files().Handle();
  HWND plus = form.Control(TMF::kSpeedButton1);
  HWND minus = form.Control(TMF::kSpeedButton2);
  const auto focusThen = [this](HWND control, WPARAM key, Held held = kNone) {
    return [=, this] {
      SetFocus(control);
      Press(key, held);
    };
  };
  const auto click = [](HWND control) {
    return [control] {
      RECT place;
      GetWindowRect(control, &place);
      SetCursorPos(place.left + 5, place.top + 6);
      SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
      SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    };
  };
  form.Files().MakeCurrent(1);
  RECT entry;
  SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&entry));
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&entry), 2);
  const RECT plusPlace = ScreenRect(plus), minusPlace = ScreenRect(minus);

  const struct {
    const char* opener;
    std::function<void()> open;
    POINT at;
    int lit;
  } cases[] = {
      {"Shift+F10 in the list", focusThen(list, VK_F10, kShift), {entry.left, entry.bottom}, 0},
      {"the menu key in the list",
       [list] { SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1); },
       {entry.left, entry.bottom},
       0},
      {"right click in the list",
       [list] { SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(300, 200)); },
       {300, 200},
       -1},
      {"Space on the plus button", focusThen(plus, VK_SPACE), {plusPlace.left, plusPlace.bottom}, 0},
      {"Enter on the minus button", focusThen(minus, VK_RETURN), {minusPlace.left, minusPlace.bottom}, 0},
      {"click on the plus button", click(plus), {plusPlace.left + 5, plusPlace.top + 6}, -1},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.opener);
    const testing::WhenMenuShown watch(VK_ESCAPE);
    test.open();
    ASSERT_TRUE(watch.Seen().shown);
    EXPECT_EQ(watch.Seen().place.left, test.at.x);
    EXPECT_EQ(watch.Seen().place.top, test.at.y);
    EXPECT_EQ(watch.Seen().lit, test.lit);
  }
  testing::ParkPointer();
  EXPECT_TRUE(services.fileDialogs.requests.empty());
  EXPECT_TRUE(services.messageBoxes.shown.empty());
}

// Every item of every menu has an access key of its own within its menu, and
// the key picks it; the list's menu begins with the plus button's items.
TEST_F(MainWindowKeys, EveryMenuItemIsPickedByItsAccessKey) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  const auto& dialogs = services.fileDialogs.requests;
  const auto& boxes = services.messageBoxes.shown;
  const auto listFilter = [&] {
    return !dialogs.empty() && std::wstring(dialogs.back().lpstrFilter).starts_with(L"Filename Lists");
  };
  const std::function<bool()> addFiles = [&] {
    return !dialogs.empty() && std::wstring(dialogs.back().lpstrFilter) == L"All Files (*.*)";
  };
  const std::function<bool()> loadList = [&] { return listFilter() && dialogs.back().lpstrDefExt == nullptr; };
  const std::function<bool()> saveList = [&] { return listFilter() && dialogs.back().lpstrDefExt != nullptr; };
  const std::function<bool()> nothing = [&] { return boxes.empty() && dialogs.empty(); };
  const auto asked = [&](const char* question) {
    return std::function<bool()>([&boxes, question] { return !boxes.empty() && boxes.back().text == question; });
  };
  const std::function<bool()> versions = [&] {
    return services.programs.started ==
           std::vector<std::string>{std::string(windows) + "\\NOTEPAD.EXE " + folder.Path() + "\\versions.txt"};
  };
  // The dialog a command opens, closed as soon as it is up.
  std::string dialogShown;
  const auto shown = [&dialogShown](const char* caption) {
    return std::function<bool()>([&dialogShown, caption] { return dialogShown == caption; });
  };
  const std::vector<std::string> addItems{"Add &File(s)...", "Add &Directory..."};
  const std::vector<std::string> listItems{"Add &File(s)...",        "Add &Directory...",         "",
                                           "&Load filename list...", "&Save filename list as...", "",
                                           "Pre&view Replace All...\tCtrl+Shift+P", "&Undo Last Run..."};
  const std::vector<std::string> deleteItems{"Delete &Selected...\tDel", "Delete &All..."};
  const std::vector<std::string> helpItems{"&Version History", "&About..."};
  const struct {
    const char* menu;
    int opener;  // the control with the focus; 0: Alt+H on the menu bar
    WPARAM openKey;
    const std::vector<std::string>* items;
    WPARAM key;
    std::function<bool()> happened;
    const char* dialog = nullptr;
  } cases[] = {
      {"list", TMF::kListBox1, VK_F10, &listItems, 'F', addFiles},
      {"list", TMF::kListBox1, VK_F10, &listItems, 'D', shown("Add Directory..."), "Add Directory..."},
      {"list", TMF::kListBox1, VK_F10, &listItems, 'L', loadList},
      {"list", TMF::kListBox1, VK_F10, &listItems, 'S', saveList},
      {"list", TMF::kListBox1, VK_F10, &listItems, 'U', nothing},  // grey: no run to undo
      {"list", TMF::kListBox1, VK_F10, &listItems, 'V', asked("Find text can't be blank!")},  // no texts yet
      {"list", TMF::kListBox1, VK_F10, &listItems, VK_RETURN, addFiles},
      {"plus", TMF::kSpeedButton1, VK_SPACE, &addItems, 'F', addFiles},
      {"plus", TMF::kSpeedButton1, VK_RETURN, &addItems, 'D', shown("Add Directory..."), "Add Directory..."},
      {"minus", TMF::kSpeedButton2, VK_SPACE, &deleteItems, 'S',
       asked("Do you want to delete the selected item(s) from the file list?")},
      {"minus", TMF::kSpeedButton2, VK_RETURN, &deleteItems, 'A',
       asked("Do you want to delete all item(s) from the file list?")},
      {"Help", 0, 'H', &helpItems, 'V', versions},
      {"Help", 0, 'H', &helpItems, 'A', shown("About Varnex"), "About Varnex"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(::testing::Message() << test.menu << " menu, key " << test.key);
    services.fileDialogs.requests.clear();
    services.messageBoxes.shown.clear();
    services.programs.started.clear();
    dialogShown.clear();
    std::optional<testing::WhenShown> closer;
    if (test.dialog != nullptr) {
      closer.emplace(test.dialog, [&dialogShown, caption = test.dialog](HWND dialog) {
        dialogShown = caption;
        PostMessageW(dialog, WM_CLOSE, 0, 0);
      });
    }
    const testing::WhenMenuShown watch(test.key);
    SetFocus(form.Control(test.opener != 0 ? test.opener : TMF::kListBox1));
    Press(test.openKey, test.opener == 0 ? kAlt : test.opener == TMF::kListBox1 ? kShift : kNone);
    ASSERT_TRUE(watch.Seen().shown);
    EXPECT_EQ(watch.Seen().items, *test.items);
    app.ProcessPendingMessages();
    EXPECT_TRUE(test.happened());
  }
  // Nothing was taken off the list: the questions were not answered "Yes".
  EXPECT_EQ(Entries().size(), 3u);
}

TEST_F(MainWindowKeys, ThePictureButtonsShowTheirFocusAndOpenOnlyOnTheirOwnKeys) {
  HWND plus = form.Control(TMF::kSpeedButton1);
  const std::vector<COLORREF> resting = testing::PaintingOf(plus);
  Press(VK_TAB);
  ASSERT_EQ(GetFocus(), plus);
  EXPECT_NE(testing::PaintingOf(plus), resting);
  // Enter that went down elsewhere (on a dialog it closed) and comes up here
  // opens no menu.
  {
    const testing::WhenMenuShown watch(VK_ESCAPE);
    PostMessageW(plus, WM_KEYUP, VK_RETURN, 0xC0000001);
    app.ProcessPendingMessages();
    EXPECT_FALSE(watch.Seen().shown);
  }
  Press(VK_TAB);
  EXPECT_EQ(testing::PaintingOf(plus), resting);
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
