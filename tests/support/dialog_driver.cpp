#include "tests/support/dialog_driver.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include "framework/handle.h"
#include "framework/unicode.h"

namespace varnex::testing {
namespace {

// The limits are generous: a loaded machine under Wine can take seconds to show
// or hide a window, and they only matter when something is broken.
constexpr UINT kTickInterval = 10;   // milliseconds
constexpr int kTicksToClose = 3000;  // thirty seconds
constexpr ULONGLONG kPumpLimit = 30000;

WhenShown* current = nullptr;  // thread timers carry no context of their own
WhenMenuShown* currentMenu = nullptr;
constexpr UINT kMenuOfWindow = 0x01E1;  // MN_GETHMENU

}  // namespace

WhenShown::WhenShown(std::string caption, std::function<void(HWND)> act)
    : caption_(std::move(caption)), act_(std::move(act)), timer_(SetTimer(nullptr, 0, kTickInterval, Tick)) {
  current = this;
}

WhenShown::~WhenShown() {
  KillTimer(nullptr, timer_);
  current = nullptr;
}

void CALLBACK WhenShown::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (current == nullptr) return;
  WhenShown& self = *current;
  HWND window = FindWindowW(nullptr, Wide(self.caption_).c_str());
  if (window == nullptr || !IsWindowVisible(window)) return;
  if (!self.acted_) {
    self.acted_ = true;
    self.act_(window);
  } else if (++self.ticksSinceAct_ == kTicksToClose) {
    ADD_FAILURE() << '"' << self.caption_ << "\" is still up";
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
}

WhenMenuShown::WhenMenuShown(WPARAM key) : key_(key), timer_(SetTimer(nullptr, 0, kTickInterval, Tick)) {
  currentMenu = this;
}

WhenMenuShown::~WhenMenuShown() {
  KillTimer(nullptr, timer_);
  currentMenu = nullptr;
}

void CALLBACK WhenMenuShown::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (currentMenu == nullptr) return;
  HWND window = FindWindowW(L"#32768", nullptr);
  if (window == nullptr || !IsWindowVisible(window)) return;
  MenuSeen& seen = currentMenu->seen_;
  if (seen.shown) {
    if (++currentMenu->ticksSinceKey_ == kTicksToClose) {
      ADD_FAILURE() << "a menu is still open";
      EndMenu();
    }
    return;
  }
  seen.shown = true;
  GetWindowRect(window, &seen.place);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, kMenuOfWindow, 0, 0));
  for (int item = 0; item < GetMenuItemCount(menu); ++item) {
    wchar_t caption[128] = L"";
    GetMenuStringW(menu, static_cast<UINT>(item), caption, 128, MF_BYPOSITION);
    seen.items.push_back(Utf8(caption));
    if (GetMenuState(menu, static_cast<UINT>(item), MF_BYPOSITION) & MF_HILITE) seen.lit = item;
  }
  PostMessageW(window, WM_KEYDOWN, currentMenu->key_, 0);
}

bool PumpUntil(Application& app, const std::function<bool()>& done) {
  const ULONGLONG start = GetTickCount64();
  while (!done() && GetTickCount64() - start < kPumpLimit) {
    app.ProcessPendingMessages();
    Sleep(1);
  }
  return done();
}

LabelLook LookOf(HWND window, HWND label) {
  const MemoryDcHandle dc(CreateCompatibleDC(nullptr));
  SetTextColor(dc.Get(), RGB(1, 2, 3));
  SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(label));
  const COLORREF colour = GetTextColor(dc.Get());
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof font, &font);
  return {colour, font.lfUnderline != 0};
}

void MovePointer(HWND window, POINT client) {
  POINT screen = client;
  ClientToScreen(window, &screen);
  HWND target = WindowFromPoint(screen);
  ASSERT_NE(target, nullptr);
  POINT local = screen;
  ScreenToClient(target, &local);
  SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(local.x, local.y));
}

std::string AccessibleName(HWND control) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::string name;
  IAccessible* accessible = nullptr;
  if (SUCCEEDED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&accessible)))) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (accessible->get_accName(self, &text) == S_OK && text != nullptr) name = Utf8(text);
    SysFreeString(text);
    accessible->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return name;
}

RECT PlaceOf(HWND control) {
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

}  // namespace varnex::testing
