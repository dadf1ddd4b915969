#pragma once
// A link drawn by a static control (SS_NOTIFY | WS_TABSTOP) that the keyboard
// reaches as well as the mouse.

#include <windows.h>

namespace varnex {

// From now on the link shows the focus with the dotted frame of every focused
// control, and Enter or Space tells its parent STN_CLICKED, as a click does;
// a key held down tells it once.
void MakeKeyboardLink(HWND link);

}  // namespace varnex
