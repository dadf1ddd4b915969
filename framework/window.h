#pragma once
// The base of every window class: the static window procedure finds the object,
// forwards to its HandleMessage and hands any failure to the application's
// general error report, so no exception crosses a Windows frame. It also gives
// every window the keyboard handling of a dialog box (Tab, access keys, the
// default button, focus kept across activation), a modal loop of its own, and
// its layout at the DPI it is drawn at.

#include <windows.h>

#include <exception>
#include <stdexcept>
#include <utility>
#include <vector>

#include "framework/application.h"
#include "framework/commandroutes.h"
#include "framework/dpi.h"
#include "framework/unicode.h"
#include "framework/windowclass.h"

namespace varnex {

// The window procedure of every window class of the program. The object comes
// with the creation parameters and is kept in the window's slot `Slot`:
// GWLP_USERDATA, or for a custom control the extra bytes of its own class, so
// the host may still use the user data. `Object` offers Attach (at
// WM_NCCREATE), HandleMessage, ReportFailure and Detach (at WM_NCDESTROY).
template <class Object, int Slot>
LRESULT CALLBACK ObjectProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Object* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Object*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, Slot, reinterpret_cast<LONG_PTR>(self));
    self->Attach(window);
  } else {
    self = reinterpret_cast<Object*>(GetWindowLongPtrW(window, Slot));
  }
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);

  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& failure) {
    self->ReportFailure(failure);
  } catch (...) {
    self->ReportFailure(std::runtime_error("Unexpected failure"));
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, Slot, 0);
    self->Detach();
  }
  return result;
}

template <class Derived>
class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return handle_; }
  // The DPI the window is laid out at.
  UINT Dpi() const { return dpi_; }
  // A control by its id. The handles are kept: finding a child window asks
  // the window server under Wine, and a run asks for controls per file.
  HWND Control(int id) const {
    for (const auto& [controlId, control] : controls_) {
      if (controlId == id) return control;
    }
    return GetDlgItem(handle_, id);
  }

 protected:
  explicit Window(Application& application) : app_(application) {}
  ~Window() {
    if (handle_ != nullptr) DestroyWindow(handle_);
  }

  void CreateAs(const WindowClass& windowClass, DWORD exStyle, const char* caption, DWORD style, HWND owner,
                HMENU menu = nullptr) {
    RegisterClassOnce(app_.Instance(), windowClass, ObjectProcedure<Window, GWLP_USERDATA>);
    CreateWindowExW(exStyle, Wide(windowClass.name).c_str(), Wide(caption).c_str(), style, CW_USEDEFAULT,
                    CW_USEDEFAULT, 100, 100, owner, menu, app_.Instance(), this);
    if (handle_ == nullptr) throw std::runtime_error(std::string("Cannot create ") + windowClass.name);
  }

  // Lays the window out at `dpi` through its own LayOut, the one function
  // that places its controls, at its creation and at every change of DPI.
  void LayOutAt(UINT dpi) {
    dpi_ = dpi;
    static_cast<Derived*>(this)->LayOut(dpi);
  }

  // What every window does with a message its own handlers leave alone;
  // WM_COMMAND goes to the routes of Commands().
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_COMMAND:
        if (commands_.Dispatch(wParam)) return 0;
        break;
      case WM_DPICHANGED: {  // moved to a monitor of another scale
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(handle_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        LayOutAt(HIWORD(wParam));
        RedrawWindow(handle_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
        return 0;
      }
      case WM_NEXTDLGCTL: {  // Tab and access keys, sent by IsDialogMessage
        HWND next = lParam ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(handle_, GetFocus(), wParam != 0);
        if (next != nullptr) SetFocus(next);
        return 0;
      }
      case DM_GETDEFID:
        return defaultButton_ != 0 ? MAKELRESULT(defaultButton_, DC_HASDEFID) : 0;
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
          HWND focus = GetFocus();
          if (focus != nullptr && IsChild(handle_, focus)) lastFocus_ = focus;
        } else if (!HIWORD(wParam)) {
          FocusControl(lastFocus_ != nullptr && IsChild(handle_, lastFocus_) ? lastFocus_ : nullptr);
        }
        return 0;
      case WM_SETCURSOR:
        if (app_.Busy() && !modal_) {
          SetCursor(LoadCursor(nullptr, IDC_WAIT));
          return TRUE;
        }
        break;
      case WM_CLOSE:
        if (modal_) {
          EndModal(IDCANCEL);
          return 0;
        }
        break;
      default:
        break;
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
  }

  // Puts the focus on `control`, or on the first control that takes it.
  void FocusControl(HWND control) {
    if (control == nullptr) control = GetNextDlgTabItem(handle_, nullptr, FALSE);
    if (control != nullptr) SetFocus(control);
  }

  // The window's WM_COMMAND routes, filled once before or at its creation.
  CommandRoutes& Commands() { return commands_; }

  void KeepControlHandles(std::vector<std::pair<int, HWND>> controls) { controls_ = std::move(controls); }

  // Enter presses this button.
  void SetDefaultButton(int id) { defaultButton_ = id; }

  // Shows the window and runs messages until EndModal; every other window of
  // the program takes no input meanwhile. The window is destroyed after.
  int ShowModal() {
    modal_ = true;
    modalResult_ = 0;
    {
      const ModalScope scope(handle_);
      ShowWindow(handle_, SW_SHOW);
      app_.RunModalLoop([this] { return modalResult_ != 0 || handle_ == nullptr; });
    }
    modal_ = false;
    if (handle_ != nullptr) DestroyWindow(handle_);
    return modalResult_;
  }
  void EndModal(int result) { modalResult_ = result; }
  bool IsModal() const { return modal_; }

  Application& app_;

 private:
  template <class Object, int Slot>
  friend LRESULT CALLBACK ObjectProcedure(HWND, UINT, WPARAM, LPARAM);
  void Attach(HWND window) { handle_ = window; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<Derived*>(this)->HandleMessage(message, wParam, lParam);
  }
  void ReportFailure(const std::exception& failure) { app_.ShowException(failure); }
  void Detach() {
    handle_ = nullptr;
    controls_.clear();
  }

  HWND handle_ = nullptr;
  UINT dpi_ = kBaseDpi;
  std::vector<std::pair<int, HWND>> controls_;
  CommandRoutes commands_;
  HWND lastFocus_ = nullptr;
  int defaultButton_ = 0;
  bool modal_ = false;
  int modalResult_ = 0;
};

}  // namespace varnex
