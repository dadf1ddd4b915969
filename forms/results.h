#pragma once
// TRF, the results dialog that ends a batch run: whether every file could be
// done, how many files were searched, how many were changed, and a way to the
// activity log.

#include <windows.h>

#include <functional>
#include <span>
#include <string>

#include "framework/fonts.h"
#include "framework/handle.h"
#include "framework/layout.h"
#include "framework/window.h"

namespace varnex {

class TRF : public Window<TRF> {
 public:
  // Plays a system sound; MessageBeep unless a test listens instead.
  using Beeper = std::function<void(UINT type)>;

  // Panel1 is all picture: Image1 fills it, so one control stands for both.
  // kSkipped tells the binary files the run passed over, in a row of its own
  // under the counts that is there only when there are any.
  enum ControlId { kImage1 = 101, kLabel5, kLabel1, kLabel3, kLabel2, kLabel4, kButton1, kSkipped, kButton2 = IDOK };

  explicit TRF(Application& application, Beeper beep = [](UINT type) { MessageBeep(type); });

  // Shows a fresh dialog for one run and returns when it has closed.
  static void Show(Application& application, int filesSearched, int filesReplaced, int filesFailed,
                   const std::string& logPath, int binarySkipped = 0);

  // Creates the dialog with its two numbers, not yet visible; with files that
  // failed, it says how many instead of calling the run a success.
  void Create(int filesSearched, int filesReplaced, int filesFailed, std::string logPath, int binarySkipped = 0);
  // The dialog's controls in 96-DPI pixels; labels of width 0 take their text's.
  static std::span<const ControlLayout> LayoutTable();

  void FormShow();
  void Button1Click();
  void Button2Click();

 private:
  friend class Window<TRF>;

  static constexpr UINT_PTR kBeepTimer = 1;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void LayOut(UINT dpi);
  void Image1Paint(const DRAWITEMSTRUCT& item) const;

  Beeper beep_;
  Fonts fonts_;
  BitmapHandle arrow_;
  std::string logPath_;
  HWND skipped_ = nullptr;
};

}  // namespace varnex
