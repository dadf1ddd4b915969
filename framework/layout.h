#pragma once
// Windows are laid out from tables of their controls, in pixels at 96 pixels
// per inch and in keyboard (tab) order, and scaled to the DPI of the window
// when it is made and whenever its DPI changes.

#include <windows.h>

#include <span>
#include <utility>
#include <vector>

#include "framework/fonts.h"

namespace varnex {

struct ControlLayout {
  int id;
  const char* className;
  const char* caption;  // UTF-8, as every text of the program
  DWORD style;  // WS_CHILD | WS_VISIBLE are added
  DWORD exStyle;
  int left;
  int top;
  int width;
  int height;
  FontKind font;
};

// The control's rectangle in its parent's client area at `dpi`. Its edges are
// scaled rather than its size, so controls that touch at 96 DPI never overlap.
RECT ScaledPlace(const ControlLayout& control, UINT dpi);

// Creates the table's controls as children of `parent`, in table order, and
// gives each its id with its handle; PlaceControls gives them place and font.
std::vector<std::pair<int, HWND>> CreateControls(HWND parent, std::span<const ControlLayout> controls);

// Moves each of the table's controls to its rectangle at the fonts' DPI and
// gives it its font.
void PlaceControls(HWND parent, std::span<const ControlLayout> controls, const Fonts& fonts);

// Sizes a window so that its client area, as the system lays it out (menu bar
// included), has `size`, given in 96-DPI pixels, at `dpi`.
void SetClientSize(HWND window, SIZE size, UINT dpi);

// Moves a top-level window to the centre of the screen.
void CentreOnScreen(HWND window);

}  // namespace varnex
