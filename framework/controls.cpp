#include "framework/controls.h"

#include <commctrl.h>

#include "framework/enablecontrol.h"
#include "framework/windowtext.h"

namespace varnex {

std::string ControlView::Text() const { return WindowText(handle_); }

void ControlView::SetText(std::string_view text) const { varnex::SetText(handle_, text); }

void ControlView::Enable(bool enabled) const { EnableControl(handle_, enabled); }

void ControlView::Show(bool shown) const { ShowWindow(handle_, shown ? SW_SHOWNA : SW_HIDE); }

bool CheckBox::Checked() const { return SendMessageW(handle_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) const {
  SendMessageW(handle_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ProgressBar::SetRange(int total) const { SendMessageW(handle_, PBM_SETRANGE32, 0, total); }

void ProgressBar::SetPosition(int position) const { SendMessageW(handle_, PBM_SETPOS, position, 0); }

}  // namespace varnex
