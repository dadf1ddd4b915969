#include "framework/popupmenu.h"

namespace varnex {

void OpenPopupMenu(HMENU menu, HWND owner, POINT at, MenuOpener opener) {
  // The menu's own loop takes the keys waiting in the queue first: a Down
  // lights its first item, as it would if the user had pressed it.
  if (opener == MenuOpener::kKeyboard) PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 0);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr);
}

void OpenEditMenuAtCaret(HWND edit) {
  POINT caret{};
  GetCaretPos(&caret);
  ClientToScreen(edit, &caret);
  SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), MAKELPARAM(caret.x, caret.y));
}

POINT PointerPosition() {
  POINT pointer{};
  GetCursorPos(&pointer);
  return pointer;
}

}  // namespace varnex
