#include "framework/windowclass.h"

#include <stdexcept>
#include <string>

#include "framework/unicode.h"

namespace varnex {

void RegisterClassOnce(HINSTANCE instance, const WindowClass& windowClass, WNDPROC procedure) {
  const std::wstring name = Wide(windowClass.name);
  WNDCLASSEXW known{};
  known.cbSize = sizeof known;
  if (GetClassInfoExW(instance, name.c_str(), &known)) return;
  WNDCLASSEXW fresh{};
  fresh.cbSize = sizeof fresh;
  fresh.style = windowClass.style;
  fresh.lpfnWndProc = procedure;
  fresh.cbWndExtra = windowClass.extraBytes;
  fresh.hInstance = instance;
  fresh.hCursor = windowClass.cursor;
  fresh.hbrBackground = windowClass.background;
  fresh.hIcon = windowClass.icon;
  fresh.lpszClassName = name.c_str();
  if (!RegisterClassExW(&fresh)) throw std::runtime_error(std::string("Cannot register ") + windowClass.name);
}

}  // namespace varnex
