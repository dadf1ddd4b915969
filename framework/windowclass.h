#pragma once
// Window classes of the program's own, registered once per process whatever
// number of windows use them. They are Unicode classes: their windows take
// and give text in UTF-16, which the program holds as UTF-8.

#include <windows.h>

namespace varnex {

struct WindowClass {
  const char* name;
  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  HCURSOR cursor = LoadCursor(nullptr, IDC_ARROW);
  HICON icon = nullptr;
  UINT style = 0;
  int extraBytes = 0;  // the window's own slots, for a control that keeps its object there
};

// Registers the class unless it already is; raises an error when it cannot.
void RegisterClassOnce(HINSTANCE instance, const WindowClass& windowClass, WNDPROC procedure);

}  // namespace varnex
