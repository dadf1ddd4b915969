#include "forms/docking.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(Docking, GluesThePanelAndPushesTheMainWindowOffTheRightEdge) {
  struct Case {
    const char* what;
    DockingInput input;
    DockingPlaces expected;
  };
  // A main window 279 wide, the panel 181 wide, a screen 1280 wide, at 96 DPI
  // unless a case says otherwise.
  const Case cases[] = {
      {"room to spare", {100, 50, 279, 181, true, 1280, 96}, {100, 379, 241}},
      {"too close to the edge: pushed left", {900, 50, 279, 181, true, 1280, 96}, {820, 1099, 241}},
      {"exactly at the edge: nothing moves", {820, 50, 279, 181, true, 1280, 96}, {820, 1099, 241}},
      {"one pixel over: pushed one pixel", {821, 50, 279, 181, true, 1280, 96}, {820, 1099, 241}},
      {"hidden panel follows without pushing", {1100, 50, 279, 181, false, 1280, 96}, {1100, 1379, 241}},
      {"off the left and top edges: left alone", {-50, -20, 279, 181, true, 1280, 96}, {-50, 229, 171}},
      {"125%: the drop grows, rounded", {100, 50, 349, 226, true, 1280, 120}, {100, 449, 50 + 239}},
      {"150%: pushed by the wider windows", {900, 50, 419, 272, true, 1280, 144}, {589, 1008, 50 + 287}},
      {"200%", {100, -20, 558, 362, false, 1280, 192}, {100, 658, -20 + 382}},
  };
  for (const Case& c : cases) {
    const DockingPlaces places = DockPanel(c.input);
    EXPECT_EQ(places.mainLeft, c.expected.mainLeft) << c.what;
    EXPECT_EQ(places.panelLeft, c.expected.panelLeft) << c.what;
    EXPECT_EQ(places.panelTop, c.expected.panelTop) << c.what;
  }
}

}  // namespace
}  // namespace varnex
