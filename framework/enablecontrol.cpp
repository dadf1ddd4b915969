#include "framework/enablecontrol.h"

namespace varnex {

void EnableControl(HWND control, bool enabled) {
  const HWND focus = GetFocus();
  if (!enabled && focus != nullptr && (focus == control || IsChild(control, focus))) {
    const HWND next = GetNextDlgTabItem(GetAncestor(control, GA_ROOT), control, FALSE);
    if (next != nullptr && next != control && !IsChild(control, next)) SetFocus(next);
  }
  EnableWindow(control, enabled ? TRUE : FALSE);
}

}  // namespace varnex
