#include "framework/layout.h"

#include <string>

#include "engine/error.h"
#include "framework/unicode.h"

namespace varnex {

RECT ScaledPlace(const ControlLayout& control, UINT dpi) {
  return {ScaleToDpi(control.left, dpi), ScaleToDpi(control.top, dpi), ScaleToDpi(control.left + control.width, dpi),
          ScaleToDpi(control.top + control.height, dpi)};
}

std::vector<std::pair<int, HWND>> CreateControls(HWND parent, std::span<const ControlLayout> controls) {
  std::vector<std::pair<int, HWND>> created;
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  for (const ControlLayout& control : controls) {
    HWND child = CreateWindowExW(control.exStyle, Wide(control.className).c_str(), Wide(control.caption).c_str(),
                                 WS_CHILD | WS_VISIBLE | control.style, control.left, control.top, control.width,
                                 control.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                 instance, nullptr);
    if (child == nullptr) throw Error(std::string("Cannot create the control ") + control.className);
    created.emplace_back(control.id, child);
  }
  return created;
}

void PlaceControls(HWND parent, std::span<const ControlLayout> controls, const Fonts& fonts) {
  for (const ControlLayout& control : controls) {
    HWND child = GetDlgItem(parent, control.id);
    const RECT place = ScaledPlace(control, fonts.Dpi());
    SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(control.font)), FALSE);
  }
}

void SetClientSize(HWND window, SIZE size, UINT dpi) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  SetWindowPos(window, nullptr, 0, 0, (outer.right - outer.left) + ScaleToDpi(size.cx, dpi) - client.right,
               (outer.bottom - outer.top) + ScaleToDpi(size.cy, dpi) - client.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOnScreen(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace varnex
