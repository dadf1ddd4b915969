#pragma once
// Checking a window's layout at a DPI: where its table puts each control,
// whether every caption fits, and that no two controls overlap.

#include <windows.h>

#include <span>

#include "framework/layout.h"

namespace varnex::testing {

// The DPIs of 100, 125, 150 and 200 per cent.
inline constexpr UINT kDpis[] = {96, 120, 144, 192};

// Sends `window` what the system sends when it moves to a monitor at `dpi`:
// WM_DPICHANGED with a rectangle at its top-left corner, scaled from its
// current size.
void SendDpiChange(HWND window, UINT fromDpi, UINT toDpi);

// Expects `window` laid out at `dpi` from `table`: its client area is
// `clientSize` (96-DPI pixels) scaled; each control of the table sits at its
// rectangle scaled (one of width 0 takes its text's size instead) with the
// table's font made for the DPI and its whole caption inside it, measured in
// that font; and no two of the window's children overlap unless one holds the
// other, as a group box or a frame does.
void ExpectLaidOutAt(HWND window, std::span<const ControlLayout> table, SIZE clientSize, UINT dpi);

}  // namespace varnex::testing
