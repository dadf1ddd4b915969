#include "forms/mainlist.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "filelist/listfile.h"
#include "filelist/opennames.h"
#include "forms/dir.h"
#include "forms/mainmenus.h"
#include "framework/popupmenu.h"
#include "framework/speedbutton.h"
#include "framework/unicode.h"
#include "framework/windowtext.h"

namespace varnex {
namespace {

constexpr wchar_t kListFilter[] = L"Filename Lists (*.list)\0*.list\0All Files (*.*)\0*.*\0";

// Closes the drop handle on every way out.
struct DropHandleTraits {
  using Type = HDROP;
  static Type Empty() { return nullptr; }
  static void Close(Type drop) { DragFinish(drop); }
};

}  // namespace

MainListCommands::MainListCommands(MainView& view, const SettingsStore& settings)
    : view_(view), settings_(settings) {}

void MainListCommands::Attach(HWND addButton, HWND removeButton) {
  Application& app = view_.App();
  HWND list = view_.Files().Handle();
  // A plain subclass: the common controls' subclass helper costs a property
  // lookup per message under Wine, and a run sends the list two
  // messages per file.
  SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  listBoxProcedure_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListBoxProcedure)));

  addMenu_.Reset(MakeAddMenu());
  deleteMenu_.Reset(MakeDeleteMenu());
  listMenu_.Reset(MakeListMenu());
  SetSpeedButtonMenu(addButton, addMenu_.Get());
  SetSpeedButtonMenu(removeButton, deleteMenu_.Get());

  // The path hint: the current entry's whole text, up for the application's
  // hint time; the list's own procedure relays the mouse to it. The picture
  // buttons' hints are their names.
  hints_.Create(view_.Window(), app.Instance(), app.HintHidePause());
  hints_.Add(list, "", false);
  for (HWND button : {addButton, removeButton}) hints_.Add(button, WindowText(button));
}

void MainListCommands::Files1Click() {
  if (view_.Working()) return;
  // OpenDialog1: every file, several at once, opening on the last file dropped.
  std::wstring names(256 * 1024, L'\0');
  const std::wstring startName = Wide(openDialogFileName_);
  startName.copy(names.data(), std::min(startName.size(), names.size() - 2));
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = view_.Window();
  request.lpstrFilter = L"All Files (*.*)\0*.*\0";
  request.nFilterIndex = 1;
  request.lpstrFile = names.data();
  request.nMaxFile = static_cast<DWORD>(names.size());
  request.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (!view_.App().FileDialog().Open(request)) return;

  const std::vector<std::string> picked = PickedFiles(DialogAnswer(names));
  FileList& files = view_.Files();
  for (const std::string& path : picked) files.Add(path);
  files.MakeCurrent(0);
  view_.FollowListState();
}

OPENFILENAMEW MainListCommands::ListFileRequest(std::wstring& name) const {
  name.assign(64 * 1024, L'\0');
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = view_.Window();
  request.lpstrFilter = kListFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = name.data();
  request.nMaxFile = static_cast<DWORD>(name.size());
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  return request;
}

void MainListCommands::Loadfilelist1Click() {
  if (view_.Working()) return;
  std::wstring name;
  OPENFILENAMEW request = ListFileRequest(name);
  if (!view_.App().FileDialog().Open(request)) return;
  const std::vector<std::string> entries = LoadFilenameList(Utf8(name.c_str()));

  FileList& files = view_.Files();
  SendMessageW(files.Handle(), WM_SETREDRAW, FALSE, 0);
  files.SetEntries(entries);
  files.MakeCurrent(0);
  SendMessageW(files.Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(files.Handle(), nullptr, TRUE);
  view_.FollowListState();
}

void MainListCommands::Savefilelistas1Click() {
  std::wstring name;
  OPENFILENAMEW request = ListFileRequest(name);
  request.lpstrDefExt = L"list";
  if (!view_.App().FileDialog().Save(request)) return;
  SaveFilenameList(Utf8(name.c_str()), view_.Files().Entries());
}

void MainListCommands::Directory1Click() {
  if (view_.Working()) return;
  TDF::Show(view_.App(), settings_, view_.Files(), [this] { view_.FollowListState(); });
}

void MainListCommands::WMDropFiles(HDROP drop) {
  const UniqueHandle<DropHandleTraits> handle(drop);
  if (view_.Working()) return;
  FileList& files = view_.Files();
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    // Asked for its length first, a long path arrives whole: a cut one would
    // name another file, or none.
    std::wstring wide(DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
    wide.resize(DragQueryFileW(drop, index, wide.data(), static_cast<UINT>(wide.size())));
    const std::string path = Utf8(wide);
    try {
      openDialogFileName_ = path;
      files.Add(path);
      files.MakeCurrent(files.Count() - 1);
      view_.FollowListState();
    } catch (const std::exception&) {
      view_.App().MessageBox().Show("Error", "Varnex couldn't open the file \"" + path + "\".", MB_OK);
    }
  }
}

void MainListCommands::Deleteselected1Click() {
  if (view_.Working()) return;
  if (!view_.Confirm("Do you want to delete the selected item(s) from the file list?")) return;
  FileList& files = view_.Files();
  if (files.Current() == -1) return;
  files.RemoveSelected();
  files.MakeCurrent(0);
  view_.FollowListState();
}

void MainListCommands::Deleteall1Click() {
  if (view_.Working()) return;
  if (!view_.Confirm("Do you want to delete all item(s) from the file list?")) return;
  view_.Files().RemoveAll();
  view_.Files().MakeCurrent(0);
  view_.FollowListState();
}

void MainListCommands::ListBox1KeyDown(WPARAM key) {
  if (key == VK_DELETE && view_.Files().HoldsRealFiles()) Deleteselected1Click();
}

void MainListCommands::ListBox1KeyPress(char16_t key) {
  const std::optional<std::string> prefix = typeAhead_.Type(key, GetTickCount64());
  if (!prefix) return;
  FileList& files = view_.Files();
  if (prefix->empty()) {
    files.MakeCurrent(0);
    return;
  }
  const int found = files.FindPrefix(*prefix);
  if (found >= 0) files.SelectAlone(found);
}

void MainListCommands::ListBox1DblClick() {
  const FileList& files = view_.Files();
  const int current = files.Current();
  // The placeholder names no file: the editor would offer to make one.
  if (current >= 0 && files.HoldsRealFiles()) view_.App().OpenInNotepad(files.Entry(current), SW_SHOWNORMAL);
}

void MainListCommands::ListBox1MouseMove() {
  try {
    const FileList& files = view_.Files();
    const int current = files.Current();
    if (current < 0) return;
    hints_.SetText(files.Handle(), files.Entry(current));
  } catch (...) {
    // The hint keeps its old text.
  }
}

void MainListCommands::ListBox1ContextPopup(LPARAM where) {
  if (where != -1) {
    return OpenPopupMenu(listMenu_.Get(), view_.Window(), {GET_X_LPARAM(where), GET_Y_LPARAM(where)},
                         MenuOpener::kMouse);
  }
  // From the keyboard: below the current entry, kept within the list while
  // that entry is scrolled out of sight.
  HWND list = view_.Files().Handle();
  RECT client, entry{};
  GetClientRect(list, &client);
  SendMessageW(list, LB_GETITEMRECT, std::max(view_.Files().Current(), 0), reinterpret_cast<LPARAM>(&entry));
  POINT at{entry.left, std::clamp(entry.bottom, client.top, client.bottom)};
  ClientToScreen(list, &at);
  OpenPopupMenu(listMenu_.Get(), view_.Window(), at, MenuOpener::kKeyboard);
}

LRESULT CALLBACK MainListCommands::ListBoxProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  MainListCommands& commands = *reinterpret_cast<MainListCommands*>(GetWindowLongPtrW(list, GWLP_USERDATA));
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
    commands.hints_.Relay({list, message, wParam, lParam, 0, {}});
  }
  try {
    switch (message) {
      case WM_KEYDOWN:
        commands.ListBox1KeyDown(wParam);
        break;
      case WM_CHAR:
        commands.ListBox1KeyPress(static_cast<char16_t>(wParam));
        return 0;
      case WM_MOUSEMOVE:
        commands.ListBox1MouseMove();
        break;
      default:
        break;
    }
  } catch (const std::exception& failure) {
    commands.view_.App().ShowException(failure);
    return 0;
  }
  return CallWindowProcW(commands.listBoxProcedure_, list, message, wParam, lParam);
}

}  // namespace varnex
