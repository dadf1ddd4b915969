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

#include "framework/systemlibrary.h"
#include "framework/unicode.h"
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

std::string RootOf(char letter) { return std::string{letter, ':', '\\'}; }

// Lower case for a lower-case drive letter, upper case otherwise.
std::string CasedLike(char letter, std::string text) {
  return static_cast<unsigned char>(letter) >= 97 ? LocaleLower(std::move(text)) : LocaleUpper(std::move(text));
}

std::string ComboText(HWND combo, int index) {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return Utf8(text);
}

}  // namespace

std::string GetVolumeLabel(char letter) {
  wchar_t name[kNameBuffer] = L"";
  {
    const ErrorModeScope quiet(SEM_FAILCRITICALERRORS);
    if (!GetVolumeInformationW(Wide(RootOf(letter)).c_str(), name, kNameBuffer, nullptr, nullptr, nullptr, nullptr,
                               0)) {
      name[0] = L'\0';
    }
  }
  return CasedLike(letter, Utf8(name));
}

std::string GetNetworkName(char letter) {
  static const SystemLibrary network("mpr.dll");
  const auto getConnection = network.Find<decltype(WNetGetConnectionW)>("WNetGetConnectionW");
  const std::wstring local{static_cast<wchar_t>(AsciiUpper(letter)), L':'};
  wchar_t remote[kNameBuffer] = L"";
  DWORD size = kNameBuffer;
  if (getConnection != nullptr && getConnection(local.c_str(), remote, &size) == NO_ERROR) {
    return CasedLike(letter, Utf8(remote));
  }
  return GetVolumeLabel(letter);
}

// A hidden top-level window that hears the volume broadcasts for one box.
class VolumeListener {
 public:
  explicit VolumeListener(TNewDriveComboBox& box) : box_(box) {
    WindowClass windowClass{kListenerClassName, nullptr, nullptr};
    windowClass.extraBytes = sizeof(VolumeListener*);
    RegisterClassOnce(box_.app_.Instance(), windowClass, ObjectProcedure<VolumeListener, 0>);
    CreateWindowExW(WS_EX_TOOLWINDOW, Wide(kListenerClassName).c_str(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                    box_.app_.Instance(), this);
  }
  ~VolumeListener() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  VolumeListener(const VolumeListener&) = delete;
  VolumeListener& operator=(const VolumeListener&) = delete;

 private:
  template <class Object, int Slot>
  friend LRESULT CALLBACK ObjectProcedure(HWND, UINT, WPARAM, LPARAM);
  void Attach(HWND window) { window_ = window; }
  void Detach() { window_ = nullptr; }
  void ReportFailure(const std::exception& failure) { box_.app_.ShowException(failure); }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE) box_.DeviceChangeHook(wParam, lParam);
    return DefWindowProcW(window_, message, wParam, lParam);
  }

  TNewDriveComboBox& box_;
  HWND window_ = nullptr;
};

TNewDriveComboBox::TNewDriveComboBox(Application& application) : PickerWindow(application) {
  const std::string current = CurrentDirectory();
  if (current.size() >= 2 && current[1] == ':') drive_ = current[0];
  listener_ = std::make_unique<VolumeListener>(*this);
}

TNewDriveComboBox::~TNewDriveComboBox() {
  listener_.reset();
  if (dirList_ != nullptr) dirList_->driveCombo_ = nullptr;
  if (window_ != nullptr) DestroyWindow(window_);
}

void TNewDriveComboBox::Create(HWND parent, int id, int left, int top, int width, int height, const Fonts& fonts) {
  font_ = fonts.Get(FontKind::kWindow);
  CreateOuter(kClassName, LoadCursor(nullptr, IDC_ARROW), parent, id, left, top, width, height);
  inner_ = CreateWindowExW(0, L"COMBOBOX", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                               CBS_HASSTRINGS,
                           0, 0, width, height + ScaleToDpi(kDroppedHeight, dpi_), window_, reinterpret_cast<HMENU>(kComboId),
                           app_.Instance(), nullptr);
  if (inner_ == nullptr) throw std::runtime_error("Cannot create TNewDriveComboBox");
  SendMessageW(inner_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  UpdateItemHeight();
  RebuildDriveList();
  SetDrive(drive_);
}

LRESULT TNewDriveComboBox::OwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = ItemHeight();
      return TRUE;
    case WM_SIZE:
      if (inner_ != nullptr) {
        MoveWindow(inner_, 0, 0, LOWORD(lParam), HIWORD(lParam) + ScaleToDpi(kDroppedHeight, dpi_), TRUE);
      }
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == CBN_SELCHANGE && reinterpret_cast<HWND>(lParam) == inner_) {
        Click();
        Change();  // the base's own report of the new selection
      }
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void TNewDriveComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  if (static_cast<int>(item.itemID) >= 0) {
    const std::string text = ComboText(inner_, static_cast<int>(item.itemID));
    const std::size_t drive = item.itemData;
    const GlyphPair* glyph = drive < glyphs_.size() && glyphs_[drive] ? &glyphs_[drive] : nullptr;
    const int width = glyph != nullptr ? glyph->width : ScaleToDpi(kGlyphSize, dpi_);
    DrawPickerItem(item.hDC, item.rcItem, selected, glyph, item.rcItem.left + ScaleToDpi(4, dpi_),
                   item.rcItem.left + width + ScaleToDpi(8, dpi_), text);
  } else {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

void TNewDriveComboBox::LoadGlyphs() {
  for (GlyphPair& pair : glyphs_) pair = GlyphPair{};
  const COLORREF color = GetSysColor(COLOR_WINDOW);
  const int size = ScaleToDpi(kGlyphSize, dpi_);
  const DWORD present = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((present & (1u << i)) == 0) continue;
    const std::string root = RootOf(DriveLetter(i, tcLowerCase));
    glyphs_[i] = ShellGlyph(root, 0, 0, size, color);
    if (!glyphs_[i]) {
      const UINT type = std::min<UINT>(GetDriveTypeW(Wide(root).c_str()), 6);
      glyphs_[i] =
          MakeGlyphPair(app_.Instance(), GlyphResourceName(static_cast<int>(type), true, dpi_).c_str(), color);
    }
  }
}

void TNewDriveComboBox::UpdateItemHeight() {
  if (inner_ == nullptr) return;
  const int height = ItemHeight();
  SendMessageW(inner_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
  SendMessageW(inner_, CB_SETITEMHEIGHT, 0, height);
}

void TNewDriveComboBox::RebuildDriveList() {
  if (inner_ == nullptr) return;
  SendMessageW(inner_, CB_RESETCONTENT, 0, 0);
  const DWORD present = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((present & (1u << i)) == 0) continue;
    const unsigned type = GetDriveTypeW(Wide(RootOf(DriveLetter(i, tcLowerCase))).c_str());
    const char letter = DriveLetter(i, textCase_);
    // A removable drive is listed without being read: no waiting on media.
    const std::string name = type == kRemovable ? std::string()
                             : type == kRemote  ? GetNetworkName(letter)
                                                : GetVolumeLabel(letter);
    const std::string text = DriveEntryText(letter, type, name);
    const LRESULT at = SendMessageW(inner_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    SendMessageW(inner_, CB_SETITEMDATA, at, i);
  }
}

std::vector<std::string> TNewDriveComboBox::Entries() const {
  std::vector<std::string> entries;
  if (inner_ == nullptr) return entries;
  const int count = static_cast<int>(SendMessageW(inner_, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) entries.push_back(ComboText(inner_, i));
  return entries;
}

int TNewDriveComboBox::ItemIndex() const {
  return inner_ != nullptr ? static_cast<int>(SendMessageW(inner_, CB_GETCURSEL, 0, 0)) : -1;
}

void TNewDriveComboBox::SetDrive(char letter) {
  if (ItemIndex() >= 0 && AsciiUpper(letter) == AsciiUpper(drive_)) return;
  const char old = drive_;
  try {
    if (letter == '\0') {
      drive_ = '\0';
      if (inner_ != nullptr) SendMessageW(inner_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    } else {
      drive_ = AsciiUpper(letter);
      if (textCase_ == tcLowerCase) drive_ = static_cast<char>(drive_ + 32);
      const std::vector<std::string> entries = Entries();
      for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const std::string& text = entries[i];
        if (text.size() >= 2 && AsciiUpper(text[0]) == AsciiUpper(drive_) && text[1] == ':') {
          SendMessageW(inner_, CB_SETCURSEL, i, 0);
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
  const std::string text = ComboText(inner_, index);
  try {
    SetDrive(text.empty() ? '\0' : text[0]);
  } catch (...) {
    SendMessageW(inner_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
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
