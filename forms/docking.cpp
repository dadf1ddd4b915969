#include "forms/docking.h"

namespace varnex {
namespace {

// The panel's top below the main window's top, in pixels at 96 pixels per inch.
constexpr int kPanelDrop = 191;
constexpr int kPanelDropDpi = 96;

}  // namespace

DockingPlaces DockPanel(const DockingInput& input) {
  int mainLeft = input.mainLeft;
  if (input.panelVisible && input.screenWidth < mainLeft + input.mainWidth + input.panelWidth) {
    mainLeft = input.screenWidth - input.mainWidth - input.panelWidth;
  }
  const int drop = (kPanelDrop * static_cast<int>(input.dpi) + kPanelDropDpi / 2) / kPanelDropDpi;
  return DockingPlaces{mainLeft, mainLeft + input.mainWidth, input.mainTop + drop};
}

}  // namespace varnex
