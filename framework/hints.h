#pragma once
// A tooltip control (TOOLTIPS_CLASS) holding the hints of one window's
// controls, each tool named by its control's handle (TTF_IDISHWND). The
// tooltip goes with the window that owns it.

#include <windows.h>

#include <string>

namespace varnex {

class Hints {
 public:
  // A topmost tooltip owned by `owner` that shows every hint for `hidePause`
  // milliseconds (TTDT_AUTOPOP); false where it cannot be made.
  bool Create(HWND owner, HINSTANCE instance, UINT hidePause);
  HWND Handle() const { return tooltip_; }

  // `control`'s hint. Subclassed (TTF_SUBCLASS), the tooltip watches the
  // control's mouse itself; otherwise the control passes it on through Relay.
  void Add(HWND control, const std::string& text, bool subclassed = true) const;
  void SetText(HWND control, const std::string& text) const;
  // A mouse message of a control that is not subclassed (TTM_RELAYEVENT).
  void Relay(const MSG& mouse) const;

 private:
  HWND owner_ = nullptr;
  HWND tooltip_ = nullptr;
};

}  // namespace varnex
