#pragma once
// TMF, the main window: the file list, the find and replace boxes, the button
// that starts a run, the button that shows the options panel and a menu bar
// with every command. It lays out its controls, routes its messages and keeps
// the options panel docked; the list's, the run's and the undo's commands
// live in objects of their own, which see the window through its MainView.
// It keeps the settings store and the run session they work with.

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "forms/mainlist.h"
#include "forms/mainrun.h"
#include "forms/mainundo.h"
#include "forms/mainview.h"
#include "framework/fonts.h"
#include "framework/layout.h"
#include "framework/settings.h"
#include "framework/window.h"
#include "run/runsession.h"

namespace varnex {

class TAF;

class TMF : public Window<TMF> {
 public:
  // The controls and menu items, by the names of the window's layout.
  using ControlId = MainControlId;
  using enum MainControlId;
  using MenuId = MainMenuId;
  using enum MainMenuId;

  TMF(Application& application, const std::string& programDirectory);

  // Creates the window, not yet visible, and starts the log.
  void Create();
  // The window's controls in 96-DPI pixels.
  static std::span<const ControlLayout> LayoutTable();
  // An extension as the path functions give it, without its dot ($fileext).
  static std::string FileExt(std::string_view extension);
  // The options panel, made after the main window and before its first showing.
  void AttachOptionsPanel(TAF& panel);
  // Shows the window centred on the screen, after FormShow.
  void Show();

  const std::string& LogPath() const { return session_.LogPath(); }
  const ActivityLog& Log() const { return session_.Log(); }
  const SettingsStore& Settings() const { return settings_; }
  FileList& Files() { return view_.Files(); }
  // `Button` and `SpeedButton2` are enabled exactly while the list holds real files.
  void FollowListState() { view_.FollowListState(); }
  // True while a last run can be undone: its store is there and no run goes.
  bool CanUndo() const { return undo_.CanUndo(); }

  // Handlers, named after their controls and events; the commands without a
  // line here are routed straight to the objects that do them (see TMF()).
  // Applies the stored options and puts the placeholder into the empty list.
  void FormShow();
  void ButtonClick() { run_.ButtonClick(); }
  void Files1Click() { list_.Files1Click(); }
  void Deleteselected1Click() { list_.Deleteselected1Click(); }
  void Deleteall1Click() { list_.Deleteall1Click(); }
  void UndoLastRun1Click() { undo_.UndoLastRun1Click(); }
  void Button4Click();
  void Timer1Timer();

 private:
  friend class Window<TMF>;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void LayOut(UINT dpi);

  SettingsStore settings_;
  RunSession session_;
  MainView view_;
  MainListCommands list_;
  MainRunCommand run_;
  MainUndoCommand undo_;
  Fonts fonts_;
};

}  // namespace varnex
