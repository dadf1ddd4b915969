#pragma once
// Where the options panel goes: glued to the main window's right edge, and
// never pushed past the right edge of the screen while it is shown (the main
// window is pushed left instead). Screen pixels, outer frames; the panel's
// drop below the main window's top grows with the main window's DPI.

namespace varnex {

struct DockingInput {
  int mainLeft;
  int mainTop;
  int mainWidth;
  int panelWidth;
  bool panelVisible;
  int screenWidth;
  unsigned dpi;
};

struct DockingPlaces {
  int mainLeft;
  int panelLeft;
  int panelTop;
};

DockingPlaces DockPanel(const DockingInput& input);

}  // namespace varnex
