#pragma once
// The base of every window class: the static window procedure finds the object,
// forwards to its HandleMessage and hands any failure to the application's
// general error report, so no exception crosses a Windows frame.

#include <windows.h>

#include <exception>
#include <stdexcept>

#include "shell/application.h"

namespace varnex {

template <class Derived>
class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return handle_; }

 protected:
  explicit Window(Application& application) : app_(application) {}
  ~Window() {
    if (handle_ != nullptr) DestroyWindow(handle_);
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Derived* self = nullptr;
    if (message == WM_NCCREATE) {
      self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
      self->handle_ = window;
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);

    LRESULT result = 0;
    try {
      result = self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& failure) {
      self->app_.ShowException(failure);
    } catch (...) {
      self->app_.ShowException(std::runtime_error("Unexpected failure"));
    }
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      self->handle_ = nullptr;
    }
    return result;
  }

  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(handle_, message, wParam, lParam);
  }

  Application& app_;

 private:
  HWND handle_ = nullptr;
};

}  // namespace varnex
