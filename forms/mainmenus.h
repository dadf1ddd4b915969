#pragma once
// The main window's menus: the menu bar with every command, the plus and
// minus buttons' menus and the file list's, made from tables of their items.

#include <windows.h>

namespace varnex {

HMENU MakeMainMenu();    // MainMenu1
HMENU MakeAddMenu();     // PopupMenu2, the plus button's
HMENU MakeDeleteMenu();  // PopupMenu3, the minus button's
HMENU MakeListMenu();    // PopupMenu1, the list's

// Greys the items of `menu` that would do nothing now; the same items are
// grey in the menu bar and in the list's menu.
void FollowCommandState(HMENU menu, bool working, bool realFiles, bool canUndo);

}  // namespace varnex
