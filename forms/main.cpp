#include "forms/main.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "engine/error.h"
#include "engine/paths.h"
#include "filelist/listfile.h"
#include "filelist/opennames.h"
#include "forms/aboutform.h"
#include "forms/dir.h"
#include "forms/docking.h"
#include "forms/hopt.h"
#include "framework/dpi.h"
#include "framework/enablecontrol.h"
#include "framework/layout.h"
#include "framework/pictures.h"
#include "framework/popupmenu.h"
#include "framework/speedbutton.h"
#include "framework/steadylabel.h"
#include "framework/unicode.h"
#include "framework/windowtext.h"
#include "resources/resource.h"
#include "resources/version.h"
#include "run/localclock.h"

namespace varnex {
namespace {

constexpr char kCaption[] = VARNEX_TITLE " " VARNEX_VERSION_TEXT;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // fixed single border
constexpr SIZE kClientSize = {273, 353};
constexpr int kRowHeight = 13;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 255;

constexpr wchar_t kListFilter[] = L"Filename Lists (*.list)\0*.list\0All Files (*.*)\0*.*\0";

constexpr char kShowOptions[] = "Show Advanced &Options >>>>>";
constexpr char kHideOptions[] = "<<<<< Hide Advanced &Options";

using enum TMF::ControlId;
using enum TMF::MenuId;

constexpr DWORD kMemo = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL |
                        WS_TABSTOP;
// The memos are tall enough for three lines of text above their scroll bar.
constexpr ControlLayout kLayout[] = {
    {kGroupBox1, "BUTTON", "Files", BS_GROUPBOX, 0, 0, 0, 273, 166, FontKind::kWindow},
    {kListBox1, "LISTBOX", "Files",
     LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
         WS_TABSTOP,
     WS_EX_CLIENTEDGE, 8, 16, 256, 120, FontKind::kFileList},
    {kSpeedButton1, kSpeedButtonClass, TMF::kAddHint, WS_TABSTOP, 0, 8, 140, 25, 22, FontKind::kWindow},
    {kSpeedButton2, kSpeedButtonClass, TMF::kRemoveHint, WS_TABSTOP, 0, 40, 140, 25, 22, FontKind::kWindow},
    {kButton4, "BUTTON", kShowOptions, BS_PUSHBUTTON | WS_TABSTOP, 0, 8, 170, 256, 18, FontKind::kWindow},
    {kLabel3, "STATIC", "F&ind:", 0, 0, 8, 194, 60, 15, FontKind::kWindow},
    {kEdit2, "EDIT", "", kMemo, WS_EX_CLIENTEDGE, 72, 192, 192, 60, FontKind::kMemo},
    {kLabel4, "STATIC", "Re&place to:", 0, 0, 8, 258, 60, 15, FontKind::kWindow},
    {kEdit3, "EDIT", "", kMemo, WS_EX_CLIENTEDGE, 72, 256, 192, 60, FontKind::kMemo},
    {kButton, "BUTTON", TMF::kRunCaption, BS_PUSHBUTTON | WS_TABSTOP, 0, 72, 320, 111, 25, FontKind::kBold},
    {kProgressBar1, PROGRESS_CLASSA, "Progress", 0, 0, 72, 143, 110, 16, FontKind::kWindow},
    {kLabel5, "STATIC", "", SS_RIGHT | SS_NOPREFIX, 0, 186, 145, 78, 15, FontKind::kWindow},
};

struct MenuItem {
  int id;  // 0: a separator
  const char* caption;
};
using MenuPart = std::span<const MenuItem>;

// PopupMenu2, the plus button's; the list's menu begins with it too.
constexpr MenuItem kAddItems[] = {{kFiles1, "Add &File(s)..."}, {kDirectory1, "Add &Directory..."}};
// PopupMenu3, the minus button's.
constexpr MenuItem kDeleteItems[] = {{kDeleteselected1, "Delete &Selected...\tDel"}, {kDeleteall1, "Delete &All..."}};
// MainMenu1: every command, by what it works on; the shortcuts work wherever
// the window has the keyboard (see ShortcutKey).
constexpr MenuItem kFileItems[] = {{kFiles1, "Add &File(s)...\tCtrl+O"},
                                   {kDirectory1, "Add &Directory...\tCtrl+D"},
                                   {0, nullptr},
                                   {kLoadfilelist1, "&Load filename list..."},
                                   {kSavefilelistas1, "&Save filename list as...\tCtrl+S"},
                                   {0, nullptr},
                                   {kExit1, "E&xit\tAlt+F4"}};
constexpr MenuItem kRunItems[] = {{kPreviewReplaceAll1, "&Preview Replace All...\tCtrl+Shift+P"},
                                  {kReplaceAllNow1, "&Replace All Now"},
                                  {kUndoLastRun1, "&Undo Last Run...\tCtrl+Z"},
                                  {0, nullptr},
                                  {kStop1, "&Stop\tEsc"}};
// PopupMenu1, the list's, after the plus button's items.
constexpr MenuItem kListItems[] = {{kLoadfilelist1, "&Load filename list..."},
                                   {kSavefilelistas1, "&Save filename list as..."},
                                   {0, nullptr},
                                   {kPreviewReplaceAll1, "Pre&view Replace All...\tCtrl+Shift+P"},
                                   {kUndoLastRun1, "&Undo Last Run..."}};
constexpr MenuItem kHelpItems[] = {{kVersionHistory1, "&Version History"}, {kAbout1, "&About..."}};

// The parts' items, a separator between one part and the next.
HMENU MakePopup(std::initializer_list<MenuPart> parts) {
  HMENU menu = CreatePopupMenu();
  for (const MenuPart& part : parts) {
    if (&part != parts.begin()) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (const MenuItem& item : part) {
      if (item.id == 0) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(menu, MF_STRING, item.id, Wide(item.caption).c_str());
      }
    }
  }
  return menu;
}

HMENU MakeMainMenu() {
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(MakePopup({kFileItems})), L"&File");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(MakePopup({kRunItems})), L"&Run");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(MakePopup({kHelpItems})), L"&Help");
  return bar;
}

// Closes the drop handle on every way out.
struct DropHandleTraits {
  using Type = HDROP;
  static Type Empty() { return nullptr; }
  static void Close(Type drop) { DragFinish(drop); }
};

}  // namespace

TMF::TMF(Application& application, std::string programDirectory)
    : Window(application),
      programDirectory_(std::move(programDirectory)),
      session_(programDirectory_),
      settings_(programDirectory_ + "\\settings.ini") {}

void TMF::Create() {
  RegisterSpeedButtonClass(app_.Instance());
  const WindowClass windowClass{"TMF", reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), LoadCursor(nullptr, IDC_ARROW),
                                LoadIconW(app_.Instance(), MAKEINTRESOURCEW(IDI_VARNEX))};
  CreateAs(windowClass, WS_EX_ACCEPTFILES, kCaption, kStyle, nullptr, MakeMainMenu());
  LayOutAt(WindowDpi(Handle()));
}

std::span<const ControlLayout> TMF::LayoutTable() { return kLayout; }

void TMF::LayOut(UINT dpi) {
  Fonts fonts(dpi);
  PlaceControls(Handle(), kLayout, fonts);
  SetClientSize(Handle(), kClientSize, dpi);
  SendMessageW(fileList_.Handle(), LB_SETITEMHEIGHT, 0, ScaleToDpi(kRowHeight, dpi));
  for (auto [id, picture] : {std::pair{kSpeedButton1, IDB_PLUS}, std::pair{kSpeedButton2, IDB_MINUS}}) {
    SetSpeedButtonPicture(Control(id), LoadPicture(app_.Instance(), picture, dpi).Get());
  }
  fonts_ = std::move(fonts);
}

void TMF::CreateParts() {
  KeepControlHandles(CreateControls(Handle(), kLayout));
  fileList_.Attach(Control(kListBox1));
  // A plain subclass: the common controls' subclass helper costs a property
  // lookup per message under Wine, and a run sends the list two
  // messages per file.
  SetWindowLongPtrW(fileList_.Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  listBoxProcedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(fileList_.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListBoxProcedure)));

  filesMenu_.Reset(MakePopup({kAddItems}));
  deleteMenu_.Reset(MakePopup({kDeleteItems}));
  listMenu_.Reset(MakePopup({kAddItems, kListItems}));
  SetSpeedButtonMenu(Control(kSpeedButton1), filesMenu_.Get());
  SetSpeedButtonMenu(Control(kSpeedButton2), deleteMenu_.Get());

  // The path hint: the current entry's whole text, up for the application's
  // hint time.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                             0, 0, Handle(), nullptr, app_.Instance(), nullptr);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND;  // the list's own procedure relays the mouse to it
  tool.hwnd = Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(fileList_.Handle());
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, static_cast<LPARAM>(app_.HintHidePause()));
  // The picture buttons' hints are their names.
  for (int id : {kSpeedButton1, kSpeedButton2}) {
    std::wstring name = Wide(WindowText(Control(id)));
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(Control(id));
    tool.lpszText = name.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  MakeLabelSteady(Control(kLabel5));

  SetTimer(Handle(), kTimer1, kTimer1Interval, nullptr);
  // The run's progress is up only while a run goes.
  for (int id : {kProgressBar1, kLabel5}) ShowWindow(Control(id), SW_HIDE);
}

void TMF::Show() {
  CentreOnScreen(Handle());
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
  ShowWindow(Handle(), SW_SHOWNORMAL);
  UpdateWindow(Handle());
}

void TMF::AttachOptionsPanel(TAF& panel) {
  panel_ = &panel;
  panel.SetOwner({[this](bool shown) { FollowOptionsPanel(shown); }, [this] { HideOptionsPanel(); }});
}

void TMF::FormShow() {
  if (panel_ != nullptr) panel_->LoadStoredOptions();
  fileList_.ShowPlaceholderIfEmpty();
  FollowListState();
}

void TMF::FollowListState() {
  const bool realFiles = fileList_.HoldsRealFiles();
  EnableControl(Control(kButton), realFiles);
  EnableControl(Control(kSpeedButton2), realFiles);
}

bool TMF::Confirm(const char* question) {
  return app_.MessageBox().Show("Confirmation", question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TMF::Files1Click() {
  if (running_) return;
  // OpenDialog1: every file, several at once, opening on the last file dropped.
  std::wstring names(256 * 1024, L'\0');
  const std::wstring startName = Wide(openDialogFileName_);
  startName.copy(names.data(), std::min(startName.size(), names.size() - 2));
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = Handle();
  request.lpstrFilter = L"All Files (*.*)\0*.*\0";
  request.nFilterIndex = 1;
  request.lpstrFile = names.data();
  request.nMaxFile = static_cast<DWORD>(names.size());
  request.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (!app_.FileDialog().Open(request)) return;

  const std::vector<std::string> picked = PickedFiles(DialogAnswer(names));
  for (const std::string& path : picked) fileList_.Add(path);
  fileList_.MakeCurrent(0);
  FollowListState();
}

std::string TMF::FindText() const { return WindowText(Control(kEdit2)); }
std::string TMF::ReplaceText() const { return WindowText(Control(kEdit3)); }

OPENFILENAMEW TMF::ListFileRequest(std::wstring& name) {
  name.assign(64 * 1024, L'\0');
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = Handle();
  request.lpstrFilter = kListFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = name.data();
  request.nMaxFile = static_cast<DWORD>(name.size());
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  return request;
}

void TMF::Loadfilelist1Click() {
  if (running_) return;
  std::wstring name;
  OPENFILENAMEW request = ListFileRequest(name);
  if (!app_.FileDialog().Open(request)) return;
  const std::vector<std::string> entries = LoadFilenameList(Utf8(name.c_str()));

  SendMessageW(fileList_.Handle(), WM_SETREDRAW, FALSE, 0);
  fileList_.SetEntries(entries);
  fileList_.MakeCurrent(0);
  SendMessageW(fileList_.Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(fileList_.Handle(), nullptr, TRUE);
  FollowListState();
}

void TMF::Savefilelistas1Click() {
  std::wstring name;
  OPENFILENAMEW request = ListFileRequest(name);
  request.lpstrDefExt = L"list";
  if (!app_.FileDialog().Save(request)) return;
  SaveFilenameList(Utf8(name.c_str()), fileList_.Entries());
}

void TMF::Directory1Click() {
  if (running_) return;
  TDF::Show(app_, settings_, fileList_, [this] { FollowListState(); });
}

void TMF::WMDropFiles(HDROP drop) {
  const UniqueHandle<DropHandleTraits> handle(drop);
  if (running_) return;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    // Asked for its length first, a long path arrives whole: a cut one would
    // name another file, or none.
    std::wstring wide(DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
    wide.resize(DragQueryFileW(drop, index, wide.data(), static_cast<UINT>(wide.size())));
    const std::string path = Utf8(wide);
    try {
      openDialogFileName_ = path;
      fileList_.Add(path);
      fileList_.MakeCurrent(fileList_.Count() - 1);
      FollowListState();
    } catch (const std::exception&) {
      app_.MessageBox().Show("Error", "Varnex couldn't open the file \"" + path + "\".", MB_OK);
    }
  }
}

void TMF::Deleteselected1Click() {
  if (running_) return;
  if (!Confirm("Do you want to delete the selected item(s) from the file list?")) return;
  if (fileList_.Current() == -1) return;
  fileList_.RemoveSelected();
  fileList_.MakeCurrent(0);
  FollowListState();
}

void TMF::ListBox1KeyDown(WPARAM key) {
  if (key == VK_DELETE && fileList_.HoldsRealFiles()) Deleteselected1Click();
}

void TMF::ListBox1KeyPress(char16_t key) {
  const std::optional<std::string> prefix = typeAhead_.Type(key, GetTickCount64());
  if (!prefix) return;
  if (prefix->empty()) {
    fileList_.MakeCurrent(0);
    return;
  }
  const int found = fileList_.FindPrefix(*prefix);
  if (found >= 0) fileList_.SelectAlone(found);
}

void TMF::Deleteall1Click() {
  if (running_) return;
  if (!Confirm("Do you want to delete all item(s) from the file list?")) return;
  fileList_.RemoveAll();
  fileList_.MakeCurrent(0);
  FollowListState();
}

void TMF::ListBox1DblClick() {
  const int current = fileList_.Current();
  // The placeholder names no file: the editor would offer to make one.
  if (current >= 0 && fileList_.HoldsRealFiles()) app_.OpenInNotepad(fileList_.Entry(current), SW_SHOWNORMAL);
}

void TMF::ListBox1MouseMove() {
  try {
    const int current = fileList_.Current();
    if (current < 0) return;
    std::wstring text = Wide(fileList_.Entry(current));
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(fileList_.Handle());
    tool.lpszText = text.data();
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  } catch (...) {
    // The hint keeps its old text.
  }
}

void TMF::ListBox1ContextPopup(LPARAM where) {
  if (where != -1) {
    return OpenPopupMenu(listMenu_.Get(), Handle(), {GET_X_LPARAM(where), GET_Y_LPARAM(where)}, MenuOpener::kMouse);
  }
  // From the keyboard: below the current entry, kept within the list while
  // that entry is scrolled out of sight.
  HWND list = fileList_.Handle();
  RECT client, entry{};
  GetClientRect(list, &client);
  SendMessageW(list, LB_GETITEMRECT, std::max(fileList_.Current(), 0), reinterpret_cast<LPARAM>(&entry));
  POINT at{entry.left, std::clamp(entry.bottom, client.top, client.bottom)};
  ClientToScreen(list, &at);
  OpenPopupMenu(listMenu_.Get(), Handle(), at, MenuOpener::kKeyboard);
}

// The same items are grey in the menu bar and in the list's menu.
void TMF::FollowCommandState(HMENU menu) {
  const bool idle = !running_, files = fileList_.HoldsRealFiles();
  const std::pair<int, bool> states[] = {
      {kFiles1, idle},           {kDirectory1, idle},         {kLoadfilelist1, idle},
      {kUndoLastRun1, CanUndo()}, {kPreviewReplaceAll1, files && idle}, {kReplaceAllNow1, files && idle},
      {kStop1, running_}};
  for (auto [id, enabled] : states) EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// The menu bar's shortcuts work wherever the window's focus is, the options
// panel included (it passes them on); Ctrl+Z is the memos' own undo while one
// has the focus. Esc in a memo is Esc as anywhere else in the window: a
// multi-line box would take it for itself and close its parent, the program.
// Shift+F10 and the menu key open the focused control's menu and nothing
// else: left to the system, Shift+F10 would open the menu bar as F10 does.
bool TMF::ShortcutKey(const MSG& key) {
  const bool memo = GetFocus() == Control(kEdit2) || GetFocus() == Control(kEdit3);
  if ((key.message == WM_SYSKEYDOWN && key.wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) ||
      (key.message == WM_KEYDOWN && key.wParam == VK_APPS)) {
    OpenFocusedMenu();
    return true;
  }
  if (key.message != WM_KEYDOWN) return false;
  if (key.wParam == VK_ESCAPE && memo) {
    OnCommand(IDCANCEL);
    return true;
  }
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
    OnCommand(shortcut.command);
    return true;
  }
  return false;
}

void TMF::OpenFocusedMenu() {
  HWND focus = GetFocus();
  if (focus == fileList_.Handle()) return ListBox1ContextPopup(-1);
  if (focus != Control(kEdit2) && focus != Control(kEdit3)) return;
  // The memo's own edit menu, at its caret.
  POINT caret{};
  GetCaretPos(&caret);
  ClientToScreen(focus, &caret);
  SendMessageW(focus, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(focus), MAKELPARAM(caret.x, caret.y));
}

void TMF::Button4Click() {
  if (panel_ == nullptr) return;
  if (IsWindowVisible(panel_->Handle())) {
    HideOptionsPanel();
  } else {
    SetWindowPos(panel_->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  }
}

// The keyboard comes back to the button before the panel goes, so the panel
// never hands the activation to whatever window the system would pick.
void TMF::HideOptionsPanel() {
  SetFocus(Control(kButton4));
  ShowWindow(panel_->Handle(), SW_HIDE);
}

void TMF::FollowOptionsPanel(bool shown) { SetText(Control(kButton4), shown ? kHideOptions : kShowOptions); }

void TMF::Timer1Timer() {
  if (panel_ == nullptr || panel_->Handle() == nullptr) return;
  RECT main, panel;
  GetWindowRect(Handle(), &main);
  GetWindowRect(panel_->Handle(), &panel);
  const DockingPlaces places =
      DockPanel({main.left, main.top, main.right - main.left, panel.right - panel.left,
                 IsWindowVisible(panel_->Handle()) != FALSE, GetSystemMetrics(SM_CXSCREEN), Dpi()});
  const UINT keep = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (places.mainLeft != main.left) SetWindowPos(Handle(), nullptr, places.mainLeft, main.top, 0, 0, keep);
  if (places.panelLeft != panel.left || places.panelTop != panel.top) {
    SetWindowPos(panel_->Handle(), nullptr, places.panelLeft, places.panelTop, 0, 0, keep);
  }
}

void TMF::VersionHistory1Click() { app_.OpenInNotepad(programDirectory_ + "\\versions.txt", SW_SHOWNORMAL); }

void TMF::About1Click() { TAbout::Show(app_); }

std::string TMF::FileExt(std::string_view extension) const { return varnex::FileExt(extension); }

void TMF::OnCommand(int id) {
  switch (id) {
    case kButton4:
      return Button4Click();
    case kFiles1:
      return Files1Click();
    case kDirectory1:
      return Directory1Click();
    case kDeleteselected1:
      return Deleteselected1Click();
    case kDeleteall1:
      return Deleteall1Click();
    case kLoadfilelist1:
      return Loadfilelist1Click();
    case kSavefilelistas1:
      return Savefilelistas1Click();
    case kUndoLastRun1:
      return UndoLastRun1Click();
    case kReplaceAllNow1:
      if (!running_) ButtonClick();
      return;
    case kStop1:
      return StopRun();
    case kExit1:
      PostMessageW(Handle(), WM_CLOSE, 0, 0);
      return;
    case kPreviewReplaceAll1:
      return PreviewReplaceAll1Click();
    case kButton:
      return ButtonClick();
    case IDCANCEL:  // Esc
      return StopRun();
    case kVersionHistory1:
      return VersionHistory1Click();
    case kAbout1:
      return About1Click();
    default:
      return;
  }
}

LRESULT CALLBACK TMF::ListBoxProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  TMF& form = *reinterpret_cast<TMF*>(GetWindowLongPtrW(list, GWLP_USERDATA));
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
    MSG relayed{list, message, wParam, lParam, 0, {}};
    SendMessageW(form.tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  try {
    switch (message) {
      case WM_KEYDOWN:
        form.ListBox1KeyDown(wParam);
        break;
      case WM_CHAR:
        form.ListBox1KeyPress(static_cast<char16_t>(wParam));
        return 0;
      case WM_MOUSEMOVE:
        form.ListBox1MouseMove();
        break;
      default:
        break;
    }
  } catch (const std::exception& failure) {
    form.app_.ShowException(failure);
    return 0;
  }
  return CallWindowProcW(form.listBoxProcedure_, list, message, wParam, lParam);
}

LRESULT TMF::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateParts();
      FormCreate();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kListBox1) {
        if (HIWORD(wParam) == LBN_DBLCLK) ListBox1DblClick();
        return 0;
      }
      OnCommand(LOWORD(wParam));
      return 0;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = ScaleToDpi(kRowHeight, Dpi());
      return TRUE;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const bool row = item.itemID != static_cast<UINT>(-1);
      DrawFileListRow(item.hDC, item.rcItem, row && (item.itemState & ODS_SELECTED),
                      (item.itemState & ODS_FOCUS) != 0,
                      row ? std::string_view(fileList_.Entry(static_cast<int>(item.itemID))) : std::string_view());
      return TRUE;
    }
    case kKeyPreview:
      return ShortcutKey(*reinterpret_cast<const MSG*>(lParam)) ? 1 : 0;
    case WM_INITMENUPOPUP:
      FollowCommandState(reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == fileList_.Handle()) {
        ListBox1ContextPopup(lParam);
        return 0;
      }
      return DefaultHandling(message, wParam, lParam);
    case WM_DROPFILES:
      WMDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) Timer1Timer();
      return 0;
    case WM_CLOSE:
      if (running_) {  // the run stops after the file in hand, then the window closes
        closeAfterRun_ = true;
        return 0;
      }
      // A log that cannot be saved is reported, but never keeps the program open.
      try {
        FormClose();
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
      return DefaultHandling(message, wParam, lParam);
  }
}

void TMF::FormCreate() { session_.Start(); }

void TMF::FormClose() { session_.End(); }

}  // namespace varnex
