#include "forms/main.h"

#include <commctrl.h>

#include "engine/paths.h"
#include "forms/aboutform.h"
#include "forms/docking.h"
#include "forms/hopt.h"
#include "forms/mainmenus.h"
#include "framework/dpi.h"
#include "framework/layout.h"
#include "framework/pictures.h"
#include "framework/popupmenu.h"
#include "framework/speedbutton.h"
#include "framework/steadylabel.h"
#include "framework/windowtext.h"
#include "resources/resource.h"
#include "resources/version.h"

namespace varnex {
namespace {

constexpr char kCaption[] = VARNEX_TITLE " " VARNEX_VERSION_TEXT;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // fixed single border
constexpr SIZE kClientSize = {273, 353};
constexpr int kRowHeight = 13;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 255;

constexpr char kShowOptions[] = "Show Advanced &Options >>>>>";
constexpr char kHideOptions[] = "<<<<< Hide Advanced &Options";
// The picture buttons' names, shown as their hints.
constexpr char kAddHint[] = "Add files to the list";
constexpr char kRemoveHint[] = "Remove files from the list";

constexpr DWORD kMemo = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL |
                        WS_TABSTOP;
// The memos are tall enough for three lines of text above their scroll bar.
constexpr ControlLayout kLayout[] = {
    {kGroupBox1, "BUTTON", "Files", BS_GROUPBOX, 0, 0, 0, 273, 166, FontKind::kWindow},
    {kListBox1, "LISTBOX", "Files",
     LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
         WS_TABSTOP,
     WS_EX_CLIENTEDGE, 8, 16, 256, 120, FontKind::kFileList},
    {kSpeedButton1, kSpeedButtonClass, kAddHint, WS_TABSTOP, 0, 8, 140, 25, 22, FontKind::kWindow},
    {kSpeedButton2, kSpeedButtonClass, kRemoveHint, WS_TABSTOP, 0, 40, 140, 25, 22, FontKind::kWindow},
    {kButton4, "BUTTON", kShowOptions, BS_PUSHBUTTON | WS_TABSTOP, 0, 8, 170, 256, 18, FontKind::kWindow},
    {kLabel3, "STATIC", "F&ind:", 0, 0, 8, 194, 60, 15, FontKind::kWindow},
    {kEdit2, "EDIT", "", kMemo, WS_EX_CLIENTEDGE, 72, 192, 192, 60, FontKind::kMemo},
    {kLabel4, "STATIC", "Re&place to:", 0, 0, 8, 258, 60, 15, FontKind::kWindow},
    {kEdit3, "EDIT", "", kMemo, WS_EX_CLIENTEDGE, 72, 256, 192, 60, FontKind::kMemo},
    {kButton, "BUTTON", MainView::kRunCaption, BS_PUSHBUTTON | WS_TABSTOP, 0, 72, 320, 111, 25, FontKind::kBold},
    {kProgressBar1, PROGRESS_CLASSA, "Progress", 0, 0, 72, 143, 110, 16, FontKind::kWindow},
    {kLabel5, "STATIC", "", SS_RIGHT | SS_NOPREFIX, 0, 186, 145, 78, 15, FontKind::kWindow},
};

// The keyboard comes back to the options button before the panel goes, so the
// panel never hands the activation to whatever window the system would pick.
void HideOptionsPanel(const TAF& panel, HWND optionsButton) {
  SetFocus(optionsButton);
  ShowWindow(panel.Handle(), SW_HIDE);
}

// The menu bar's shortcuts work wherever the window's focus is, the options
// panel included (it passes them on); Ctrl+Z is the memos' own undo while one
// has the focus. Esc in a memo is Esc as anywhere else in the window: a
// multi-line box would take it for itself and close its parent, the program.
// Shift+F10 and the menu key open the focused control's menu and nothing
// else: left to the system, Shift+F10 would open the menu bar as F10 does.
bool AnswerShortcut(const MSG& key, MainView& view, MainListCommands& list, const CommandRoutes& commands) {
  const bool memo = view.InMemo();
  if ((key.message == WM_SYSKEYDOWN && key.wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) ||
      (key.message == WM_KEYDOWN && key.wParam == VK_APPS)) {
    if (GetFocus() == view.Files().Handle()) list.ListBox1ContextPopup(-1);
    if (memo) OpenEditMenuAtCaret(GetFocus());
    return true;
  }
  if (key.message != WM_KEYDOWN) return false;
  if (key.wParam == VK_ESCAPE && memo) return commands.Dispatch(IDCANCEL);
  if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const struct {
    WPARAM key;
    bool shift;
    int command;
  } shortcuts[] = {{'O', false, kFiles1},          {'D', false, kDirectory1},
                   {'S', false, kSavefilelistas1}, {'P', true, kPreviewReplaceAll1},
                   {'Z', false, kUndoLastRun1}};
  for (const auto& shortcut : shortcuts) {
    if (key.wParam != shortcut.key || shift != shortcut.shift || (shortcut.key == 'Z' && memo)) continue;
    return commands.Dispatch(static_cast<WPARAM>(shortcut.command));
  }
  return false;
}

}  // namespace

TMF::TMF(Application& application, const std::string& programDirectory)
    : Window(application),
      settings_(programDirectory + "\\settings.ini"),
      session_(programDirectory),
      view_(application),
      list_(view_, settings_),
      run_(view_, session_, settings_),
      undo_(view_, session_) {
  // Every command in a line: to its handler here, or to the list's, the run's
  // or the undo's own.
  CommandRoutes& routes = Commands();
  routes.On(kButton4, [this] { Button4Click(); });
  routes.On(kFiles1, [this] { Files1Click(); });
  routes.On(kDirectory1, [this] { list_.Directory1Click(); });
  routes.On(kDeleteselected1, [this] { Deleteselected1Click(); });
  routes.On(kDeleteall1, [this] { Deleteall1Click(); });
  routes.On(kLoadfilelist1, [this] { list_.Loadfilelist1Click(); });
  routes.On(kSavefilelistas1, [this] { list_.Savefilelistas1Click(); });
  routes.On(kListBox1, LBN_DBLCLK, [this] { list_.ListBox1DblClick(); });
  routes.On(kButton, [this] { ButtonClick(); });
  routes.On(kReplaceAllNow1, [this] {
    if (!view_.Working()) ButtonClick();
  });
  routes.On(kPreviewReplaceAll1, [this] { run_.PreviewReplaceAll1Click(); });
  routes.On(kUndoLastRun1, [this] { UndoLastRun1Click(); });
  routes.On(kStop1, [this] { view_.RequestStop(); });
  routes.On(IDCANCEL, [this] { view_.RequestStop(); });  // Esc
  routes.On(kExit1, [this] { PostMessageW(Handle(), WM_CLOSE, 0, 0); });
  // VersionHistory1Click and About1Click.
  routes.On(kVersionHistory1, [this, versions = programDirectory + "\\versions.txt"] {
    app_.OpenInNotepad(versions, SW_SHOWNORMAL);
  });
  routes.On(kAbout1, [this] { TAbout::Show(app_); });
}

// The log starts as the window is made (WM_CREATE), so a log that cannot be
// written is reported by the window procedure and the window still comes up.
void TMF::Create() {
  RegisterSpeedButtonClass(app_.Instance());
  const WindowClass windowClass{"TMF", reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), LoadCursor(nullptr, IDC_ARROW),
                                LoadIconW(app_.Instance(), MAKEINTRESOURCEW(IDI_VARNEX))};
  CreateAs(windowClass, WS_EX_ACCEPTFILES, kCaption, kStyle, nullptr, MakeMainMenu());
  KeepControlHandles(CreateControls(Handle(), kLayout));
  view_.Attach({Handle(), ControlView(Control(kEdit2)), ControlView(Control(kEdit3)), ControlView(Control(kButton)),
                ControlView(Control(kSpeedButton1)), ControlView(Control(kSpeedButton2)),
                ProgressBar(Control(kProgressBar1)), ControlView(Control(kLabel5))},
               Control(kListBox1));
  list_.Attach(Control(kSpeedButton1), Control(kSpeedButton2));
  MakeLabelSteady(Control(kLabel5));
  SetTimer(Handle(), kTimer1, kTimer1Interval, nullptr);
  // The run's progress is up only while a run goes.
  for (int id : {kProgressBar1, kLabel5}) ShowWindow(Control(id), SW_HIDE);
  LayOutAt(WindowDpi(Handle()));
}

std::span<const ControlLayout> TMF::LayoutTable() { return kLayout; }

std::string TMF::FileExt(std::string_view extension) { return varnex::FileExt(extension); }

void TMF::LayOut(UINT dpi) {
  Fonts fonts(dpi);
  PlaceControls(Handle(), kLayout, fonts);
  SetClientSize(Handle(), kClientSize, dpi);
  SendMessageW(view_.Files().Handle(), LB_SETITEMHEIGHT, 0, ScaleToDpi(kRowHeight, dpi));
  for (auto [id, picture] : {std::pair{kSpeedButton1, IDB_PLUS}, std::pair{kSpeedButton2, IDB_MINUS}}) {
    SetSpeedButtonPicture(Control(id), LoadPicture(app_.Instance(), picture, dpi).Get());
  }
  fonts_ = std::move(fonts);
}

void TMF::Show() {
  CentreOnScreen(Handle());
  FormShow();
  ShowWindow(Handle(), SW_SHOWNORMAL);
  UpdateWindow(Handle());
}

void TMF::AttachOptionsPanel(TAF& panel) {
  view_.AttachOptionsPanel(panel);
  panel.SetOwner({[this](bool shown) { SetText(Control(kButton4), shown ? kHideOptions : kShowOptions); },
                  [this, &panel] { HideOptionsPanel(panel, Control(kButton4)); }});
}

void TMF::FormShow() {
  if (TAF* panel = view_.OptionsPanel()) panel->LoadStoredOptions();
  view_.Files().ShowPlaceholderIfEmpty();
  FollowListState();
}

void TMF::Button4Click() {
  TAF* panel = view_.OptionsPanel();
  if (panel == nullptr) return;
  if (IsWindowVisible(panel->Handle())) {
    HideOptionsPanel(*panel, Control(kButton4));
  } else {
    SetWindowPos(panel->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  }
}

void TMF::Timer1Timer() {
  const TAF* panel = view_.OptionsPanel();
  if (panel == nullptr || panel->Handle() == nullptr) return;
  RECT main, place;
  GetWindowRect(Handle(), &main);
  GetWindowRect(panel->Handle(), &place);
  const DockingPlaces places =
      DockPanel({main.left, main.top, main.right - main.left, place.right - place.left,
                 IsWindowVisible(panel->Handle()) != FALSE, GetSystemMetrics(SM_CXSCREEN), Dpi()});
  const UINT keep = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (places.mainLeft != main.left) SetWindowPos(Handle(), nullptr, places.mainLeft, main.top, 0, 0, keep);
  if (places.panelLeft != place.left || places.panelTop != place.top) {
    SetWindowPos(panel->Handle(), nullptr, places.panelLeft, places.panelTop, 0, 0, keep);
  }
}

LRESULT TMF::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:  // FormCreate: the log's first line
      session_.Start();
      return 0;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = ScaleToDpi(kRowHeight, Dpi());
      return TRUE;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const bool row = item.itemID != static_cast<UINT>(-1);
      DrawFileListRow(item.hDC, item.rcItem, row && (item.itemState & ODS_SELECTED),
                      (item.itemState & ODS_FOCUS) != 0,
                      row ? std::string_view(view_.Files().Entry(static_cast<int>(item.itemID))) : std::string_view());
      return TRUE;
    }
    case kKeyPreview:
      return AnswerShortcut(*reinterpret_cast<const MSG*>(lParam), view_, list_, Commands()) ? 1 : 0;
    case WM_INITMENUPOPUP:
      FollowCommandState(reinterpret_cast<HMENU>(wParam), view_.Working(), view_.Files().HoldsRealFiles(), CanUndo());
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) != view_.Files().Handle()) break;
      list_.ListBox1ContextPopup(lParam);
      return 0;
    case WM_DROPFILES:
      list_.WMDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) Timer1Timer();
      return 0;
    case WM_CLOSE:
      if (view_.Working()) {  // the run stops after the file in hand, then the window closes
        view_.CloseAfterWork();
        return 0;
      }
      // FormClose: the log's last line. A log that cannot be saved is
      // reported, but never keeps the program open.
      try {
        session_.End();
      } catch (const std::exception& failure) {
        app_.ShowException(failure);
      }
      DestroyWindow(Handle());
      return 0;
    case WM_DESTROY:
      KillTimer(Handle(), kTimer1);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace varnex
