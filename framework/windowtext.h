#pragma once
// Every text a window shows or holds, read and written as UTF-8: the windows
// are Unicode windows, so a caption, a typed text or a list entry keeps every
// character, whatever the ANSI code page holds.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace varnex {

std::string WindowText(HWND window);
void SetText(HWND window, std::string_view text);

// A list box's entries. The text of an entry the list does not have is
// nothing; adding answers the list's own result (the index, or LB_ERR or
// LB_ERRSPACE when the list refuses the entry).
std::optional<std::string> ListBoxText(HWND list, int index);
LRESULT AddListBoxText(HWND list, std::string_view text);
// The first entry that begins with `prefix`, letter case aside, or -1.
int FindListBoxPrefix(HWND list, std::string_view prefix);

// Whether a visible, enabled control of `window` has `key` as its access key
// (the character after a single "&" in its caption), letter case aside.
bool TakesAccessKey(HWND window, wchar_t key);

// The text drawn in one line within `area`, as DrawText's flags say.
void DrawTextLine(HDC dc, std::string_view text, RECT& area, UINT flags);

}  // namespace varnex
