#include "tests/support/keyboard.h"

namespace varnex::testing {

void Press(Application& app, WPARAM key, Held held) {
  BYTE state[256];
  GetKeyboardState(state);
  const BYTE before[3] = {state[VK_SHIFT], state[VK_MENU], state[VK_CONTROL]};
  state[VK_SHIFT] = held == Held::kShift || held == Held::kControlShift ? 0x80 : 0;
  state[VK_MENU] = held == Held::kAlt ? 0x80 : 0;
  state[VK_CONTROL] = held == Held::kControl || held == Held::kControlShift ? 0x80 : 0;
  SetKeyboardState(state);
  // Alt makes every key a system key; F10 is one of its own.
  const bool system = held == Held::kAlt || key == VK_F10;
  const LPARAM alt = held == Held::kAlt ? LPARAM{KF_ALTDOWN} << 16 : 0;
  // The key goes up after the character it made has been handled; a menu
  // that opens as F10 goes down takes its going up.
  HWND focus = GetFocus();
  PostMessageW(focus, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | alt);
  if (key != VK_F10) app.ProcessPendingMessages();
  PostMessageW(focus, system ? WM_SYSKEYUP : WM_KEYUP, key, 1 | alt | LPARAM{KF_REPEAT | KF_UP} << 16);
  app.ProcessPendingMessages();
  state[VK_SHIFT] = before[0];
  state[VK_MENU] = before[1];
  state[VK_CONTROL] = before[2];
  SetKeyboardState(state);
}

}  // namespace varnex::testing
