#pragma once
// Enabling and disabling a control without stranding the keyboard.

#include <windows.h>

namespace varnex {

// EnableWindow for a control. A disabled window cannot keep the focus: the
// system takes it away and gives it to no window, and the keyboard then
// reaches no control of the window (Tab included). So before a control that
// holds the focus, or a control inside it, is disabled, the focus moves on to
// the next enabled control in the tab order, as a dialog box expects its
// owner to do (WM_NEXTDLGCTL).
void EnableControl(HWND control, bool enabled);

}  // namespace varnex
