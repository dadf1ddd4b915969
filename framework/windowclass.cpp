#include "framework/windowclass.h"

#include <stdexcept>
#include <string>

namespace varnex {

void RegisterClassOnce(HINSTANCE instance, const WindowClass& windowClass, WNDPROC procedure) {
  WNDCLASSEXA known{};
  known.cbSize = sizeof known;
  if (GetClassInfoExA(instance, windowClass.name, &known)) return;
  WNDCLASSEXA fresh{};
  fresh.cbSize = sizeof fresh;
  fresh.style = windowClass.style;
  fresh.lpfnWndProc = procedure;
  fresh.cbWndExtra = windowClass.extraBytes;
  fresh.hInstance = instance;
  fresh.hCursor = windowClass.cursor;
  fresh.hbrBackground = windowClass.background;
  fresh.hIcon = windowClass.icon;
  fresh.lpszClassName = windowClass.name;
  if (!RegisterClassExA(&fresh)) throw std::runtime_error(std::string("Cannot register ") + windowClass.name);
}

}  // namespace varnex
