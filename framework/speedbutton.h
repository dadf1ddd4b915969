#pragma once
// A picture button of the old kind that opens a menu: raised, sunk while
// pressed, greyed when disabled. A click opens the menu at the pointer; Tab
// reaches the button, which then shows a focus rectangle, and Space or Enter
// opens the menu below it with its first item lit. Its window text is never
// drawn: it names the button for screen readers.

#include <windows.h>

namespace varnex {

inline constexpr char kSpeedButtonClass[] = "TSpeedButton";

void RegisterSpeedButtonClass(HINSTANCE instance);

// Shows `picture` on the button; the colour of its bottom-left pixel is
// transparent. The button keeps its own copy.
void SetSpeedButtonPicture(HWND button, HBITMAP picture);

// The menu the button opens; its commands go to the button's parent. The
// caller keeps the menu alive as long as the button.
void SetSpeedButtonMenu(HWND button, HMENU menu);

}  // namespace varnex
