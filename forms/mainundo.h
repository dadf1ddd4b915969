#pragma once
// The main window's undo command: "Undo Last Run...", its question, the
// restore with its progress, and what it tells the user. It sees the window
// through its MainView and asks the run session to undo.

#include "forms/mainview.h"
#include "run/runsession.h"

namespace varnex {

class MainUndoCommand {
 public:
  MainUndoCommand(MainView& view, RunSession& session) : view_(view), session_(session) {}
  MainUndoCommand(const MainUndoCommand&) = delete;
  MainUndoCommand& operator=(const MainUndoCommand&) = delete;

  // Gives the files the last run changed their earlier text back.
  void UndoLastRun1Click();
  // True while a last run can be undone: its store is there and no run goes.
  bool CanUndo() const { return !view_.Working() && session_.CanUndo(); }

 private:
  class UndoProgress;

  MainView& view_;
  RunSession& session_;
};

}  // namespace varnex
