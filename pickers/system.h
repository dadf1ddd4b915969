#pragma once
// Small ways to the system that both pickers use: the process's current
// directory, the locale's letter case and the code page's lead bytes.

#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <string>

namespace varnex {

std::string CurrentDirectory();
// A failed change leaves the current directory as it was; nothing is reported.
bool ChangeDirectory(const std::string& path);

bool IsLeadByte(unsigned char c);
std::string LocaleUpper(std::string text);
std::string LocaleLower(std::string text);

// The process error mode for a scope, put back on every way out.
class ErrorModeScope {
 public:
  explicit ErrorModeScope(UINT mode) : previous_(SetErrorMode(mode)) {}
  ~ErrorModeScope() { SetErrorMode(previous_); }
  ErrorModeScope(const ErrorModeScope&) = delete;
  ErrorModeScope& operator=(const ErrorModeScope&) = delete;

 private:
  UINT previous_;
};

// The procedure of a picker's own window: the object sits in the window's
// extra slot, from the creation parameters on; failures go to the
// application's error report; the object forgets its windows when they go.
template <class Control>
LRESULT CALLBACK PickerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Control*>(GetWindowLongPtrA(window, 0));
  if (message == WM_NCCREATE) {
    self = static_cast<Control*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& failure) {
    self->app_.ShowException(failure);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, 0, 0);
    self->WindowsGone();
  }
  return result;
}

// The system's small-icon list, shared by the whole process; null when the
// glyphs come from the program's bitmaps.
HIMAGELIST SystemSmallIcons();

}  // namespace varnex
