#pragma once
// TAF, the advanced options panel: a borderless window glued to the main
// window's right edge, holding a check box per row of the options table
// (run/runoptions.h). Its boxes are the options; every change of a box is
// written to the settings file at once.
// To the keyboard it is part of the main window: Tab goes round its boxes and
// its Help link, Esc and Alt+F4 hand the keyboard back, and the main window's
// access keys and F10 work in it.

#include <windows.h>

#include <functional>
#include <span>
#include <string>
#include <utility>

#include "framework/fonts.h"
#include "framework/layout.h"
#include "framework/settings.h"
#include "framework/window.h"
#include "run/runoptions.h"

namespace varnex {

class TAF : public Window<TAF> {
 public:
  // The boxes are stored in `settings`; the Help link opens `helpPage`.
  TAF(Application& application, const SettingsStore& settings, std::string helpPage);
  ~TAF();

  // Creates the panel, hidden, owned by `owner`.
  void Create(HWND owner);
  // What the panel tells the main window: that it was shown or hidden,
  // whatever did it; and that the user is done with it (Esc, Alt+F4), for the
  // main window to hide it and take the keyboard back.
  struct Owner {
    std::function<void(bool shown)> shownOrHidden;
    std::function<void()> done;
  };
  void SetOwner(Owner owner) { owner_ = std::move(owner); }
  // The panel's controls in 96-DPI pixels.
  static std::span<const ControlLayout> LayoutTable();

  // Ticks the boxes as settings.ini keeps them, each box's default where it
  // keeps none. A stored option that cannot be written back is reported, and
  // the reading goes on with the next one.
  void LoadStoredOptions();

  // The boxes as the options they stand for: kept in step with the boxes by
  // their click behaviour, which runs at every change, so a read costs nothing
  // (the replacement routine asks for the case option before every search).
  const RunOptions& Options() const { return options_; }
  bool Checked(bool RunOptions::*option) const { return options_.*option; }
  bool CaseSensitive() const { return options_.caseSensitive; }
  // Sets a box as the program would; a change runs the box's click behaviour.
  void SetChecked(bool RunOptions::*option, bool checked);

  // Any box: its option followed and stored.
  void CheckBoxClick(const OptionRow& row);
  void Label1Click();
  // Esc and Alt+F4.
  void FormClose();

 private:
  friend class Window<TAF>;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool PassToOwner(const MSG& key);
  void LayOut(UINT dpi);

  const SettingsStore& settings_;
  std::string helpPage_;
  Owner owner_;
  Fonts fonts_;
  RunOptions options_;
};

}  // namespace varnex
