#pragma once
// Pop-up menus opened where the user asked for them: at the pointer after a
// click, or at a place of the window's choosing from the keyboard, where the
// first item is lit so that Enter alone picks it.

#include <windows.h>

namespace varnex {

enum class MenuOpener { kMouse, kKeyboard };

// Opens `menu` with its top left corner at `at`, in screen coordinates, and
// returns when it has closed; its commands go to `owner` as WM_COMMAND.
void OpenPopupMenu(HMENU menu, HWND owner, POINT at, MenuOpener opener);

// An edit control's own context menu (WM_CONTEXTMENU) at its caret, as
// Shift+F10 or the menu key would open it.
void OpenEditMenuAtCaret(HWND edit);

// Where a click left the pointer, in screen coordinates.
POINT PointerPosition();

}  // namespace varnex
