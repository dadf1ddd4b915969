// TNewDriveComboBox: the drive box. One entry per drive letter, each with its
// glyph; picking one moves the linked folder list. A hidden top-level window
// of its own hears the system's volume arrival and removal broadcasts, which
// reach every top-level window, so the host forwards nothing.

#include <windows.h>

#include <commctrl.h>
#include <dbt.h>
#include <shellapi.h>
#include <winnetwk.h>

#include <stdexcept>

#include "framework/windowclass.h"
#include "pickers/NewFCtrl.h"
#include "pickers/system.h"

namespace varnex {
namespace {

constexpr char kClassName[] = "TNewDriveComboBox";
constexpr char kListenerClassName[] = "TNewDriveComboBoxDeviceHook";
constexpr int kComboId = 1;
constexpr int kDroppedHeight = 250;  // room for the letters of a well-stocked machine
constexpr unsigned kRemovable = DRIVE_REMOVABLE;
constexpr unsigned kRemote = DRIVE_REMOTE;
constexpr int kNameBuffer = 260;

// The classes keep the box in their windows' own slot.
WindowClass BoxClass(const char* name, HCURSOR cursor) {
  WindowClass windowClass{name, nullptr, cursor};
  windowClass.extraBytes = sizeof(TNewDriveComboBox*);
  return windowClass;
}

std::string RootOf(char letter) { return std::string{letter, ':', '\\'}; }

// Lower case for a lower-case drive letter, upper case otherwise.
std::string CasedLike(char letter, std::string text) {
  return static_cast<unsigned char>(letter) >= 97 ? LocaleLower(std::move(text)) : LocaleUpper(std::move(text));
}

std::string ComboText(HWND combo, int index) {
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace

std::string GetVolumeLabel(char letter) {
  char name[kNameBuffer] = "";
  {
    const ErrorModeScope quiet(SEM_FAILCRITICALERRORS);
    if (!GetVolumeInformationA(RootOf(letter).c_str(), name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0)) {
      name[0] = '\0';
    }
  }
  return CasedLike(letter, name);
}

std::string GetNetworkName(char letter) {
  const std::string local{AsciiUpper(letter), ':'};
  char remote[kNameBuffer] = "";
  DWORD size = sizeof remote;
  if (WNetGetConnectionA(local.c_str(), remote, &size) == NO_ERROR) return CasedLike(letter, remote);
  return GetVolumeLabel(letter);
}

TNewDriveComboBox::TNewDriveComboBox(Application& application) : app_(application) {
  LoadGlyphs();
  const std::string current = CurrentDirectory();
  if (current.size() >= 2 && current[1] == ':') drive_ = current[0];
  RegisterClassOnce(app_.Instance(), BoxClass(kListenerClassName, nullptr), ListenerProcedure);
  listener_ = CreateWindowExA(WS_EX_TOOLWINDOW, kListenerClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              app_.Instance(), this);
}

TNewDriveComboBox::~TNewDriveComboBox() {
  if (listener_ != nullptr) DestroyWindow(listener_);
  if (dirList_ != nullptr) dirList_->driveCombo_ = nullptr;
  if (window_ != nullptr) DestroyWindow(window_);
}

void TNewDriveComboBox::Create(HWND parent, int id, int left, int top, int width, int height, const Fonts& fonts) {
  RegisterClassOnce(app_.Instance(), BoxClass(kClassName, LoadCursor(nullptr, IDC_ARROW)),
                    PickerProcedure<TNewDriveComboBox>);
  font_ = fonts.Get(FontKind::kWindow);
  CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, "", WS_CHILD | WS_VISIBLE, left, top, width, height, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app_.Instance(), this);
  if (window_ == nullptr) throw std::runtime_error("Cannot create TNewDriveComboBox");
  combo_ = CreateWindowExA(0, "COMBOBOX", "",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                               CBS_HASSTRINGS,
                           0, 0, width, height + kDroppedHeight, window_, reinterpret_cast<HMENU>(kComboId),
                           app_.Instance(), nullptr);
  if (combo_ == nullptr) throw std::runtime_error("Cannot create TNewDriveComboBox");
  SendMessageA(combo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  UpdateItemHeight();
  RebuildDriveList();
  SetDrive(drive_);
}

LRESULT CALLBACK TNewDriveComboBox::ListenerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TNewDriveComboBox*>(GetWindowLongPtrA(window, 0));
  if (message == WM_NCCREATE) {
    self = static_cast<TNewDriveComboBox*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
  } else if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, 0, 0);
    if (self != nullptr) self->listener_ = nullptr;
  } else if (message == WM_DEVICECHANGE && self != nullptr) {
    try {
      self->DeviceChangeHook(wParam, lParam);
    } catch (const std::exception& failure) {
      self->app_.ShowException(failure);
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT TNewDriveComboBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = std::max(16, FontTextHeight(font_));
      return TRUE;
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == CBN_SELCHANGE && reinterpret_cast<HWND>(lParam) == combo_) {
        Click();
        Change();  // the base's own report of the new selection
      }
      return 0;
    case WM_SETFOCUS:
      if (combo_ != nullptr) SetFocus(combo_);
      return 0;
    case WM_ENABLE:
      if (combo_ != nullptr) EnableWindow(combo_, static_cast<BOOL>(wParam));
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (combo_ != nullptr) SendMessageA(combo_, WM_SETFONT, wParam, lParam);
      UpdateItemHeight();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SYSCOLORCHANGE:
      LoadGlyphs();
      if (combo_ != nullptr) InvalidateRect(combo_, nullptr, TRUE);
      return 0;
    default:
      return DefWindowProcA(window_, message, wParam, lParam);
  }
}

void TNewDriveComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  if (static_cast<int>(item.itemID) >= 0) {
    const std::string text = ComboText(combo_, static_cast<int>(item.itemID));
    const std::size_t drive = item.itemData;
    const GlyphPair* glyph = drive < glyphs_.size() && glyphs_[drive] ? &glyphs_[drive] : nullptr;
    const int width = glyph != nullptr ? glyph->width : 16;
    DrawPickerItem(item.hDC, item.rcItem, selected, glyph, item.rcItem.left + 4, item.rcItem.left + width + 8, text);
  } else {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

void TNewDriveComboBox::LoadGlyphs() {
  for (GlyphPair& pair : glyphs_) pair = GlyphPair{};
  const COLORREF color = GetSysColor(COLOR_WINDOW);
  HIMAGELIST icons = SystemSmallIcons();
  const DWORD present = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((present & (1u << i)) == 0) continue;
    const std::string root = RootOf(DriveLetter(i, tcLowerCase));
    if (icons != nullptr) {
      SHFILEINFOA info{};
      SHGetFileInfoA(root.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
      glyphs_[i] = MakeGlyphPair(icons, info.iIcon, color);
    } else {
      const UINT type = std::min<UINT>(GetDriveTypeA(root.c_str()), 6);
      glyphs_[i] = MakeGlyphPair(app_.Instance(), GlyphResourceName(static_cast<int>(type), true).c_str(), color);
    }
  }
}

void TNewDriveComboBox::UpdateItemHeight() {
  if (combo_ == nullptr) return;
  const int height = std::max(16, FontTextHeight(font_));
  SendMessageA(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
  SendMessageA(combo_, CB_SETITEMHEIGHT, 0, height);
}

void TNewDriveComboBox::RebuildDriveList() {
  if (combo_ == nullptr) return;
  SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
  const DWORD present = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((present & (1u << i)) == 0) continue;
    const unsigned type = GetDriveTypeA(RootOf(DriveLetter(i, tcLowerCase)).c_str());
    const char letter = DriveLetter(i, textCase_);
    // A removable drive is listed without being read: no waiting on media.
    const std::string name = type == kRemovable ? std::string()
                             : type == kRemote  ? GetNetworkName(letter)
                                                : GetVolumeLabel(letter);
    const std::string text = DriveEntryText(letter, type, name);
    const LRESULT at = SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(combo_, CB_SETITEMDATA, at, i);
  }
}

std::vector<std::string> TNewDriveComboBox::Entries() const {
  std::vector<std::string> entries;
  if (combo_ == nullptr) return entries;
  const int count = static_cast<int>(SendMessageA(combo_, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) entries.push_back(ComboText(combo_, i));
  return entries;
}

int TNewDriveComboBox::ItemIndex() const {
  return combo_ != nullptr ? static_cast<int>(SendMessageA(combo_, CB_GETCURSEL, 0, 0)) : -1;
}

void TNewDriveComboBox::SetDrive(char letter) {
  if (ItemIndex() >= 0 && AsciiUpper(letter) == AsciiUpper(drive_)) return;
  const char old = drive_;
  try {
    if (letter == '\0') {
      drive_ = '\0';
      if (combo_ != nullptr) SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    } else {
      drive_ = AsciiUpper(letter);
      if (textCase_ == tcLowerCase) drive_ = static_cast<char>(drive_ + 32);
      const std::vector<std::string> entries = Entries();
      for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const std::string& text = entries[i];
        if (text.size() >= 2 && AsciiUpper(text[0]) == AsciiUpper(drive_) && text[1] == ':') {
          SendMessageA(combo_, CB_SETCURSEL, i, 0);
          break;
        }
      }
    }
    if (dirList_ != nullptr) dirList_->SetDrive(drive_);
    Change();
  } catch (...) {
    drive_ = old;
    throw;
  }
}

void TNewDriveComboBox::Click() {
  const int index = ItemIndex();
  if (index < 0) return;
  const std::string text = ComboText(combo_, index);
  try {
    SetDrive(text.empty() ? '\0' : text[0]);
  } catch (...) {
    SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    throw;
  }
}

void TNewDriveComboBox::Change() {
  if (OnChange) OnChange();
}

void TNewDriveComboBox::SetTextCase(TNewTextCase value) {
  textCase_ = value;
  const char saved = drive_;
  RebuildDriveList();
  SetDrive(saved);
}

void TNewDriveComboBox::SetDirList(TNewDirectoryListBox* list) {
  if (dirList_ != nullptr) dirList_->driveCombo_ = nullptr;
  dirList_ = list;
  if (dirList_ != nullptr) dirList_->driveCombo_ = this;
}

void TNewDriveComboBox::DeviceChangeHook(WPARAM event, LPARAM header) {
  if (!AutoRefresh || (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || header == 0) return;
  if (reinterpret_cast<const DEV_BROADCAST_HDR*>(header)->dbch_devicetype != DBT_DEVTYP_VOLUME) return;
  LoadGlyphs();
  RebuildDriveList();
  SetDrive(drive_);
}

}  // namespace varnex
