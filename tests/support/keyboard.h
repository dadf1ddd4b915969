#pragma once
// Keys as the system delivers them: posted to the control with the focus and
// let through the program's own loop, each window's key preview and dialog
// keyboard handling included, with Shift, Alt or Ctrl held in the thread's
// keyboard state while they are handled.

#include <windows.h>

#include "framework/application.h"

namespace varnex::testing {

enum class Held { kNone, kShift, kAlt, kControl, kControlShift };

// One press and release of `key`; `app`'s clock must find the message pump's
// pause over at every look, or the key waits for the next loop.
void Press(Application& app, WPARAM key, Held held = Held::kNone);

}  // namespace varnex::testing
