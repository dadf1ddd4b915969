#pragma once
// Layouts, fonts and pictures are given in pixels at 96 pixels per inch, as
// the pictures are drawn, and scaled to the DPI of the window they are in.

#include <windows.h>

namespace varnex {

constexpr UINT kBaseDpi = 96;

// The DPI a window is drawn at: its monitor's where the system keeps one per
// monitor (Windows 10 1607 on), else the system's.
UINT WindowDpi(HWND window);

// A length in 96-DPI pixels, at `dpi`.
inline int ScaleToDpi(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), kBaseDpi); }

}  // namespace varnex
