#pragma once
// Driving dialogs from a test: acting on a modal one from inside its own
// message loop, letting messages through until something has happened, and
// reading how a label is drawn.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/application.h"

namespace varnex::testing {

// While alive, looks every few milliseconds for a visible window with the
// caption and, the first time it finds one, calls `act` on it (from inside
// whatever message loop is running). A window that is still up thirty seconds
// later fails the test and is closed, so a broken dialog cannot hang the run.
class WhenShown {
 public:
  WhenShown(std::string caption, std::function<void(HWND)> act);
  ~WhenShown();
  WhenShown(const WhenShown&) = delete;
  WhenShown& operator=(const WhenShown&) = delete;

  bool Acted() const { return acted_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

  std::string caption_;
  std::function<void(HWND)> act_;
  UINT_PTR timer_;
  int ticksSinceAct_ = 0;
  bool acted_ = false;
};

// What an open pop-up menu showed.
struct MenuSeen {
  bool shown = false;
  RECT place{};  // on the screen
  int lit = -1;  // the position of the lit item, or -1
  std::vector<std::string> items;  // the captions, "" for a separator
};

// While alive, looks every few milliseconds for an open pop-up menu and, the
// first time it finds one, records it and presses `key` there, from inside
// the menu's own loop: a letter picks the item of that access key, Return the
// lit one, Escape closes the menu.
class WhenMenuShown {
 public:
  explicit WhenMenuShown(WPARAM key = VK_ESCAPE);
  ~WhenMenuShown();
  WhenMenuShown(const WhenMenuShown&) = delete;
  WhenMenuShown& operator=(const WhenMenuShown&) = delete;

  const MenuSeen& Seen() const { return seen_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

  WPARAM key_;
  MenuSeen seen_;
  UINT_PTR timer_;
  int ticksSinceKey_ = 0;
};

// Lets the application handle pending messages, as its message loop would,
// until `done` or thirty seconds have passed; returns `done()`.
bool PumpUntil(Application& app, const std::function<bool()>& done);

// What a window's WM_CTLCOLORSTATIC and the label's font make of the label.
struct LabelLook {
  COLORREF colour;
  bool underlined;
};
LabelLook LookOf(HWND window, HWND label);

// The pointer moved to a point of `window`'s client area: the mouse move goes
// to whichever window the system finds there, as a real one would.
void MovePointer(HWND window, POINT client);

// The name a screen reader reads for a control, through the accessibility
// interface; "" for none.
std::string AccessibleName(HWND control);

// A control's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND control);

}  // namespace varnex::testing
