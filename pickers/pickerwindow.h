#pragma once
// What both pickers' own windows share. Each picker is a window of its own
// class holding the system list or combo box that does the work (the inner
// control): the outer window passes focus, enabling and font on to it, has
// the picker draw its items, and hands failures to the application's error
// report. The object sits in its window's own extra bytes, so the host may
// still use the user data.

#include <windows.h>

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>

#include "framework/application.h"
#include "framework/dpi.h"
#include "framework/unicode.h"
#include "framework/window.h"
#include "framework/windowclass.h"

namespace varnex {

// The glyphs' width, and the rows' least height, at 96 DPI.
constexpr int kGlyphSize = 16;

// The text height of `font` on the screen.
int FontTextHeight(HFONT font);

// `Derived` offers DrawItem, UpdateItemHeight, LoadGlyphs and OwnMessage (the
// messages it treats its own way).
template <class Derived>
class PickerWindow {
 public:
  PickerWindow(const PickerWindow&) = delete;
  PickerWindow& operator=(const PickerWindow&) = delete;

  HWND Handle() const { return window_; }

  // Draws the glyphs and sizes the rows for `dpi`, as a window moved to a
  // monitor of that scale needs; the host sends the font made for it.
  void SetDpi(UINT dpi) {
    dpi_ = dpi;
    Derived& self = static_cast<Derived&>(*this);
    self.LoadGlyphs();
    self.UpdateItemHeight();
    if (inner_ != nullptr) InvalidateRect(inner_, nullptr, TRUE);
  }

 protected:
  explicit PickerWindow(Application& application) : app_(application) {}
  // The derived picker destroys its window in its own destructor, while the
  // messages of the destruction can still reach it.
  ~PickerWindow() = default;

  // Creates the outer window as child `id` of `parent`.
  void CreateOuter(const char* className, HCURSOR cursor, HWND parent, int id, int left, int top, int width,
                   int height) {
    WindowClass windowClass{className, nullptr, cursor};
    windowClass.extraBytes = sizeof(PickerWindow*);
    RegisterClassOnce(app_.Instance(), windowClass, ObjectProcedure<PickerWindow, 0>);
    CreateWindowExW(WS_EX_CONTROLPARENT, Wide(className).c_str(), L"", WS_CHILD | WS_VISIBLE, left, top, width,
                    height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app_.Instance(), this);
    if (window_ == nullptr) throw std::runtime_error(std::string("Cannot create ") + className);
    dpi_ = WindowDpi(parent);
    static_cast<Derived&>(*this).LoadGlyphs();
  }

  // The height of a row: a glyph's or a line of text's, whichever is taller.
  int ItemHeight() const { return std::max(ScaleToDpi(kGlyphSize, dpi_), FontTextHeight(font_)); }

  Application& app_;
  HWND window_ = nullptr;
  HWND inner_ = nullptr;
  HFONT font_ = nullptr;
  UINT dpi_ = kBaseDpi;

 private:
  template <class Object, int Slot>
  friend LRESULT CALLBACK ObjectProcedure(HWND, UINT, WPARAM, LPARAM);
  void Attach(HWND window) { window_ = window; }
  void Detach() { window_ = inner_ = nullptr; }
  void ReportFailure(const std::exception& failure) { app_.ShowException(failure); }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    Derived& self = static_cast<Derived&>(*this);
    switch (message) {
      case WM_DRAWITEM:
        self.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      case WM_SETFOCUS:
        if (inner_ != nullptr) SetFocus(inner_);
        return 0;
      case WM_ENABLE:
        if (inner_ != nullptr) EnableWindow(inner_, static_cast<BOOL>(wParam));
        return 0;
      case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (inner_ != nullptr) SendMessageW(inner_, WM_SETFONT, wParam, lParam);
        self.UpdateItemHeight();
        return 0;
      case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
      case WM_SYSCOLORCHANGE:
        self.LoadGlyphs();
        if (inner_ != nullptr) InvalidateRect(inner_, nullptr, TRUE);
        return 0;
      default:
        return self.OwnMessage(message, wParam, lParam);
    }
  }
};

}  // namespace varnex
