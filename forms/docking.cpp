#include "forms/docking.h"

namespace varnex {
namespace {

constexpr int kPanelDrop = 191;  // the panel's top below the main window's top

}  // namespace

DockingPlaces DockPanel(const DockingInput& input) {
  int mainLeft = input.mainLeft;
  if (input.panelVisible && input.screenWidth < mainLeft + input.mainWidth + input.panelWidth) {
    mainLeft = input.screenWidth - input.mainWidth - input.panelWidth;
  }
  return DockingPlaces{mainLeft, mainLeft + input.mainWidth, input.mainTop + kPanelDrop};
}

}  // namespace varnex
