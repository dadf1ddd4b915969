#include "framework/steadylabel.h"

#include <commctrl.h>

#include "framework/handle.h"

namespace varnex {
namespace {

// The control's own drawing, made on a bitmap and copied whole.
void DrawWhole(HWND label, HDC dc) {
  RECT client;
  GetClientRect(label, &client);
  const BitmapHandle bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  const MemoryDcHandle memory(CreateCompatibleDC(dc));
  const SelectedObject selected(memory.Get(), bitmap.Get());
  DefSubclassProc(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT);
  BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

LRESULT CALLBACK SteadyLabel(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_SETTEXT: {
      // The text is kept as any window's; the control would draw it itself.
      const LRESULT result = DefWindowProcW(label, message, wParam, lParam);
      if (IsWindowVisible(label)) {
        HDC dc = GetDC(label);
        DrawWhole(label, dc);
        ReleaseDC(label, dc);
      }
      return result;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      DrawWhole(label, BeginPaint(label, &paint));
      EndPaint(label, &paint);
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(label, SteadyLabel, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace

void MakeLabelSteady(HWND label) { SetWindowSubclass(label, SteadyLabel, 0, 0); }

}  // namespace varnex
