#include "framework/layout.h"

#include <string>

#include "engine/error.h"
#include "framework/unicode.h"

namespace varnex {

std::vector<std::pair<int, HWND>> CreateControls(HWND parent, std::span<const ControlSpec> controls,
                                                 const Fonts& fonts) {
  std::vector<std::pair<int, HWND>> created;
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  for (const ControlSpec& control : controls) {
    HWND child = CreateWindowExW(control.exStyle, Wide(control.className).c_str(), Wide(control.caption).c_str(),
                                 WS_CHILD | WS_VISIBLE | control.style, control.left, control.top, control.width,
                                 control.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                 instance, nullptr);
    if (child == nullptr) throw Error(std::string("Cannot create the control ") + control.className);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(control.font)), FALSE);
    created.emplace_back(control.id, child);
  }
  return created;
}

void SetClientSize(HWND window, int width, int height) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  SetWindowPos(window, nullptr, 0, 0, (outer.right - outer.left) + width - client.right,
               (outer.bottom - outer.top) + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOnScreen(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace varnex
