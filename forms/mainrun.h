#pragma once
// The main window's run command: "Replace All Now" (the button that starts a
// run and, during one, stops it) and "Preview Replace All...", which reads
// what the run would change and can start it from there. It sees the window
// through its MainView and asks the run session to run.

#include "forms/mainview.h"
#include "framework/settings.h"
#include "run/runsession.h"

namespace varnex {

class MainRunCommand {
 public:
  // The preview keeps its size in `settings`.
  MainRunCommand(MainView& view, RunSession& session, const SettingsStore& settings);
  MainRunCommand(const MainRunCommand&) = delete;
  MainRunCommand& operator=(const MainRunCommand&) = delete;

  // Starts a run, or during one stops it after the file in hand.
  void ButtonClick();
  // What a run would change, looked at first; from there the run can start.
  void PreviewReplaceAll1Click();

 private:
  class RunHost;
  // Says so, and false, where the find text is blank.
  bool FindTextGiven();
  // Says so, and false, where the texts cannot make a run.
  bool TextsMakeARun();

  MainView& view_;
  RunSession& session_;
  const SettingsStore& settings_;
};

}  // namespace varnex
