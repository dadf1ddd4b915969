#pragma once
// A label that is never seen half drawn. A static control draws its ground and
// then its text, straight onto the screen, at each new text; under Wine the
// screen can be brought up to date between the two, and a label that changes
// ten times a second is then caught blank. This one is drawn off the screen
// and reaches it in one copy, whenever its text changes and whenever it is
// painted.

#include <windows.h>

namespace varnex {

// Makes a static text control of the window's own thread a steady one.
void MakeLabelSteady(HWND label);

}  // namespace varnex
