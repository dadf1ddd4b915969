#pragma once
// Thin typed views of the standard controls, so a form reads
// `caseSensitive.Checked()` rather than sending BM_GETCHECK itself. Each holds
// only the control's handle: the window owns the control, and a view may be
// made wherever the handle is known.

#include <windows.h>

#include <string>
#include <string_view>

namespace varnex {

class ControlView {
 public:
  ControlView() = default;
  explicit ControlView(HWND handle) : handle_(handle) {}
  HWND Handle() const { return handle_; }

  // The caption or the typed text, as UTF-8.
  std::string Text() const;
  void SetText(std::string_view text) const;
  // EnableWindow, the focus moved on first where it would be stranded
  // (framework/enablecontrol.h).
  void Enable(bool enabled) const;
  // Shown without taking the activation (SW_SHOWNA), or hidden.
  void Show(bool shown) const;
  bool HasFocus() const { return handle_ != nullptr && GetFocus() == handle_; }

 protected:
  HWND handle_ = nullptr;
};

// BS_AUTOCHECKBOX: BM_GETCHECK and BM_SETCHECK.
class CheckBox : public ControlView {
 public:
  using ControlView::ControlView;
  bool Checked() const;
  // Sends no BN_CLICKED: the caller runs the box's click behaviour itself.
  void SetChecked(bool checked) const;
};

// PROGRESS_CLASS with a 32-bit range from 0.
class ProgressBar : public ControlView {
 public:
  using ControlView::ControlView;
  void SetRange(int total) const;
  void SetPosition(int position) const;
};

}  // namespace varnex
