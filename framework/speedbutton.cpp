#include "framework/speedbutton.h"

#include <commctrl.h>

#include "framework/handle.h"
#include "framework/popupmenu.h"
#include "framework/windowclass.h"

namespace varnex {
namespace {

// Kept in the button's own window-extra slot.
struct ButtonState {
  HIMAGELIST picture = nullptr;
  HMENU menu = nullptr;
  bool pressed = false;
  WPARAM keyDown = 0;  // Space or Enter, gone down while the button had the focus
};

ButtonState* StateOf(HWND button) { return reinterpret_cast<ButtonState*>(GetWindowLongPtrW(button, 0)); }

bool PointerInside(HWND button, LPARAM lParam) {
  RECT client;
  GetClientRect(button, &client);
  const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return PtInRect(&client, point) != FALSE;
}

void Paint(HWND button, const ButtonState& state, HDC dc) {
  RECT client;
  GetClientRect(button, &client);
  DrawFrameControl(dc, &client, DFC_BUTTON, DFCS_BUTTONPUSH | (state.pressed ? DFCS_PUSHED : 0));
  if (state.picture != nullptr) {
    int width = 0, height = 0;
    ImageList_GetIconSize(state.picture, &width, &height);
    const int shift = state.pressed ? 1 : 0;
    const int x = (client.right - width) / 2 + shift;
    const int y = (client.bottom - height) / 2 + shift;
    if (IsWindowEnabled(button)) {
      ImageList_Draw(state.picture, 0, dc, x, y, ILD_TRANSPARENT);
    } else {
      HICON icon = ImageList_GetIcon(state.picture, 0, ILD_TRANSPARENT);
      DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, 0, 0, DST_ICON | DSS_DISABLED);
      DestroyIcon(icon);
    }
  }
  if (GetFocus() == button) {
    RECT focus = client;
    InflateRect(&focus, -GetSystemMetrics(SM_CXEDGE) - 1, -GetSystemMetrics(SM_CYEDGE) - 1);
    DrawFocusRect(dc, &focus);
  }
}

void OpenMenu(HWND button, const ButtonState& state, MenuOpener opener) {
  if (state.menu == nullptr) return;
  POINT at = PointerPosition();
  if (opener == MenuOpener::kKeyboard) {
    RECT place;
    GetWindowRect(button, &place);
    at = {place.left, place.bottom};
  }
  OpenPopupMenu(state.menu, GetParent(button), at, opener);
}

void SetPressed(HWND button, ButtonState& state, bool pressed) {
  if (state.pressed == pressed) return;
  state.pressed = pressed;
  InvalidateRect(button, nullptr, TRUE);
}

LRESULT CALLBACK ButtonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  ButtonState* state = StateOf(button);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(button, 0, reinterpret_cast<LONG_PTR>(new ButtonState));
      break;
    case WM_NCDESTROY:
      if (state != nullptr) {
        if (state->picture != nullptr) ImageList_Destroy(state->picture);
        delete state;
        SetWindowLongPtrW(button, 0, 0);
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      Paint(button, *state, BeginPaint(button, &paint));
      EndPaint(button, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(button, *state, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_KILLFOCUS:
      state->keyDown = 0;
      InvalidateRect(button, nullptr, TRUE);
      return 0;
    case WM_ENABLE:
    case WM_SETFOCUS:
      InvalidateRect(button, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE: {
      // Enter opens the focused button's menu rather than pressing the
      // window's default button.
      const MSG* key = reinterpret_cast<const MSG*>(lParam);
      return key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0;
    }
    // On the key's release, as a push button does: the character the key made
    // is behind, where the open menu would take it for a choice. A key that
    // went down elsewhere (Enter closing a dialog) opens nothing.
    case WM_KEYDOWN:
      if ((wParam == VK_SPACE || wParam == VK_RETURN) && !(lParam & (1 << 30))) state->keyDown = wParam;
      return 0;
    case WM_KEYUP:
      if (wParam == state->keyDown) {
        state->keyDown = 0;
        OpenMenu(button, *state, MenuOpener::kKeyboard);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetCapture(button);
      SetPressed(button, *state, true);
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == button) SetPressed(button, *state, PointerInside(button, lParam));
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == button) {
        const bool clicked = PointerInside(button, lParam);
        ReleaseCapture();
        if (clicked) OpenMenu(button, *state, MenuOpener::kMouse);
      }
      return 0;
    case WM_CAPTURECHANGED:
      SetPressed(button, *state, false);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(button, message, wParam, lParam);
}

}  // namespace

void RegisterSpeedButtonClass(HINSTANCE instance) {
  WindowClass buttonClass{kSpeedButtonClass};
  buttonClass.background = nullptr;
  buttonClass.style = CS_DBLCLKS;
  buttonClass.extraBytes = sizeof(ButtonState*);
  RegisterClassOnce(instance, buttonClass, ButtonProcedure);
}

void SetSpeedButtonPicture(HWND button, HBITMAP picture) {
  ButtonState* state = StateOf(button);
  if (state == nullptr || picture == nullptr) return;
  BITMAP size;
  GetObjectW(picture, sizeof size, &size);
  COLORREF transparent;
  {
    const MemoryDcHandle memory(CreateCompatibleDC(nullptr));
    const SelectedObject selected(memory.Get(), picture);
    transparent = GetPixel(memory.Get(), 0, size.bmHeight - 1);
  }
  if (state->picture != nullptr) ImageList_Destroy(state->picture);
  state->picture = ImageList_Create(size.bmWidth, size.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0);
  ImageList_AddMasked(state->picture, picture, transparent);
  InvalidateRect(button, nullptr, TRUE);
}

void SetSpeedButtonMenu(HWND button, HMENU menu) {
  if (ButtonState* state = StateOf(button)) state->menu = menu;
}

}  // namespace varnex
