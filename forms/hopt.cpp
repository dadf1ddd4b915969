#include "forms/hopt.h"

#include <commctrl.h>

#include <array>
#include <stdexcept>
#include <utility>

#include "forms/settingkeys.h"
#include "framework/controls.h"
#include "framework/keylink.h"
#include "framework/layout.h"
#include "framework/windowtext.h"

namespace varnex {
namespace {

constexpr int kLabel1 = 100;

// A box per option, each row 24.5 pixels below the one above; the Help link
// beside the last.
constexpr int BoxTop(std::size_t row) { return 8 + static_cast<int>(49 * row / 2); }
constexpr std::size_t kBoxes = kOptionRows.size();

constexpr std::array<ControlLayout, kBoxes + 1> MakeLayout() {
  std::array<ControlLayout, kBoxes + 1> layout{};
  for (std::size_t row = 0; row < kBoxes; ++row) {
    layout[row] = {kOptionRows[row].id, "BUTTON", kOptionRows[row].caption, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 8,
                   BoxTop(row), 132, 17, FontKind::kWindow};
  }
  layout[kBoxes] = {kLabel1, "STATIC", "Help", SS_NOTIFY | WS_TABSTOP, 0, 144, BoxTop(kBoxes - 1) + 1, 29, 15,
                    FontKind::kBoldLink};
  return layout;
}
constexpr std::array<ControlLayout, kBoxes + 1> kLayout = MakeLayout();
constexpr SIZE kSize = {181, BoxTop(kBoxes - 1) + 24};

const OptionRow& RowOf(bool RunOptions::*option) {
  for (const OptionRow& row : kOptionRows) {
    if (row.field == option) return row;
  }
  throw std::logic_error("an option without a row");
}

}  // namespace

TAF::TAF(Application& application, const SettingsStore& settings, std::string helpPage)
    : Window(application), settings_(settings), helpPage_(std::move(helpPage)) {
  Commands().On(kLabel1, STN_CLICKED, [this] { Label1Click(); });
  Commands().On(IDCANCEL, [this] { FormClose(); });  // Esc
  for (const OptionRow& row : kOptionRows) Commands().OnClick(row.id, [this, &row] { CheckBoxClick(row); });
}

// The panel goes while it can still tell its owner that it was hidden.
TAF::~TAF() {
  if (Handle() != nullptr) DestroyWindow(Handle());
}

void TAF::Create(HWND owner) {
  CreateAs(WindowClass{"TAF"}, 0, " ", WS_POPUP | WS_CLIPCHILDREN, owner);
  SetWindowPos(Handle(), nullptr, 516, 321, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepControlHandles(CreateControls(Handle(), kLayout));
  MakeKeyboardLink(Control(kLabel1));
  LayOutAt(WindowDpi(Handle()));
}

std::span<const ControlLayout> TAF::LayoutTable() { return kLayout; }

// The panel has no frame: its window is its client area.
void TAF::LayOut(UINT dpi) {
  Fonts fonts(dpi);
  PlaceControls(Handle(), kLayout, fonts);
  SetWindowPos(Handle(), nullptr, 0, 0, ScaleToDpi(kSize.cx, dpi), ScaleToDpi(kSize.cy, dpi),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  fonts_ = std::move(fonts);
}

void TAF::LoadStoredOptions() {
  for (const OptionRow& row : kOptionRows) {
    try {
      const std::string stored = settings_.Read(settingkeys::kSection, row.key);
      SetChecked(row.field, stored.empty() ? row.byDefault : stored == "True");
    } catch (const std::exception& failure) {
      app_.ShowException(failure);
    }
  }
}

void TAF::SetChecked(bool RunOptions::*option, bool checked) {
  if (Checked(option) == checked) return;
  const OptionRow& row = RowOf(option);
  CheckBox(Control(row.id)).SetChecked(checked);
  CheckBoxClick(row);
}

void TAF::CheckBoxClick(const OptionRow& row) {
  const bool checked = CheckBox(Control(row.id)).Checked();
  options_.*row.field = checked;
  settings_.Write(settingkeys::kSection, row.key, BooleanText(checked));
}

void TAF::Label1Click() {
  try {
    app_.Programs().ShellOpen(GetDesktopWindow(), helpPage_, SW_HIDE);
  } catch (...) {
    // Whatever the shell does about a missing page is all the user sees.
  }
}

// The main window hides the panel, which tells it so, and takes the keyboard.
void TAF::FormClose() {
  if (owner_.done) owner_.done();
}

// An access key that is none of the boxes' is the main window's; so is F10,
// its menu bar. The main window takes the keyboard before it answers the key,
// as if it had been pressed there. Its shortcuts (Ctrl+Shift+P...) and
// Shift+F10 it answers where the keyboard is.
bool TAF::PassToOwner(const MSG& key) {
  HWND owner = GetWindow(Handle(), GW_OWNER);
  const bool accessKey = key.message == WM_SYSCHAR && !TakesAccessKey(Handle(), static_cast<wchar_t>(key.wParam));
  const bool menuKey = key.message == WM_SYSKEYDOWN && key.wParam == VK_F10 && GetKeyState(VK_SHIFT) >= 0;
  if (!accessKey && !menuKey) return SendMessageW(owner, kKeyPreview, 0, reinterpret_cast<LPARAM>(&key)) != 0;
  SetActiveWindow(owner);
  if (menuKey) {
    SendMessageW(owner, WM_SYSCOMMAND, SC_KEYMENU, 0);
  } else {
    MSG passed = key;
    passed.hwnd = owner;
    IsDialogMessageW(owner, &passed);
  }
  return true;
}

LRESULT TAF::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {  // Panel1: a raised edge round the whole panel
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(Handle(), &paint);
      RECT client;
      GetClientRect(Handle(), &client);
      DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CLOSE:  // Alt+F4 only hides the panel: it lives as long as the program
      FormClose();
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const auto& place = *reinterpret_cast<const WINDOWPOS*>(lParam);
      if ((place.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) != 0 && owner_.shownOrHidden) {
        owner_.shownOrHidden((place.flags & SWP_SHOWWINDOW) != 0);
      }
      break;
    }
    case kKeyPreview:
      return PassToOwner(*reinterpret_cast<const MSG*>(lParam)) ? 1 : 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == Control(kLabel1)) {
        SetCursor(LoadCursor(nullptr, IDC_HELP));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace varnex
