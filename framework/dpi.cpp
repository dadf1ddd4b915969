#include "framework/dpi.h"

#include "framework/systemlibrary.h"

namespace varnex {

UINT WindowDpi(HWND window) {
  // Looked up rather than imported: Windows 7 and 8 lack it.
  static const auto getDpiForWindow =
      FunctionAs<UINT WINAPI(HWND)>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow"));
  if (getDpiForWindow != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) return dpi;
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

}  // namespace varnex
