#pragma once
// A picture button of the old kind: raised, sunk while pressed, greyed when
// disabled. It never takes the keyboard focus and reports a click to its parent
// as WM_COMMAND with BN_CLICKED, as a push button does.

#include <windows.h>

namespace varnex {

inline constexpr char kSpeedButtonClass[] = "TSpeedButton";

void RegisterSpeedButtonClass(HINSTANCE instance);

// Shows `picture` on the button; the colour of its bottom-left pixel is
// transparent. The button keeps its own copy.
void SetSpeedButtonPicture(HWND button, HBITMAP picture);

}  // namespace varnex
