#include "framework/keylink.h"

#include <commctrl.h>

namespace varnex {
namespace {

constexpr LPARAM kKeyHeld = 1 << 30;  // of a key's press: it was down before, and this one repeats

LRESULT CALLBACK KeyboardLinkProcedure(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_GETDLGCODE: {  // Enter comes here rather than to the window as a default button's key
      const MSG* key = reinterpret_cast<const MSG*>(lParam);
      if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
        return DefSubclassProc(link, message, wParam, lParam) | DLGC_WANTMESSAGE;
      }
      break;
    }
    case WM_KEYDOWN:
      if ((wParam == VK_RETURN || wParam == VK_SPACE) && (lParam & kKeyHeld) == 0) {
        SendMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                     reinterpret_cast<LPARAM>(link));
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(link, nullptr, TRUE);
      break;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      PAINTSTRUCT paint;
      HDC dc = wParam != 0 ? reinterpret_cast<HDC>(wParam) : BeginPaint(link, &paint);
      DefSubclassProc(link, message, reinterpret_cast<WPARAM>(dc), lParam);
      if (GetFocus() == link) {
        RECT frame;
        GetClientRect(link, &frame);
        DrawFocusRect(dc, &frame);
      }
      if (wParam == 0) EndPaint(link, &paint);
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(link, KeyboardLinkProcedure, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(link, message, wParam, lParam);
}

}  // namespace

void MakeKeyboardLink(HWND link) { SetWindowSubclass(link, KeyboardLinkProcedure, 0, 0); }

}  // namespace varnex
