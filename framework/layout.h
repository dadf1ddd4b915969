#pragma once
// Windows are laid out from tables of their controls, in pixels at 96 pixels
// per inch and in keyboard (tab) order.

#include <windows.h>

#include <span>
#include <utility>
#include <vector>

#include "framework/fonts.h"

namespace varnex {

struct ControlSpec {
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

// Creates the table's controls as children of `parent`, in table order, and
// gives each its id with its handle.
std::vector<std::pair<int, HWND>> CreateControls(HWND parent, std::span<const ControlSpec> controls,
                                                 const Fonts& fonts);

// Sizes a window so that its client area, as the system lays it out (menu bar
// included), has the given size.
void SetClientSize(HWND window, int width, int height);

// Moves a top-level window to the centre of the screen.
void CentreOnScreen(HWND window);

}  // namespace varnex
