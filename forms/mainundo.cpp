#include "forms/mainundo.h"

#include <algorithm>
#include <exception>

#include "engine/error.h"
#include "engine/namedlist.h"

namespace varnex {
namespace {

constexpr char kLaterRunElsewhere[] =
    "The last run, of %s, belongs to another copy of Varnex that is still running. "
    "Undo it from that copy, or close that copy and try again.";

std::string Formatted(std::string_view pattern, std::string_view argument) {
  return Error::Format(pattern, argument).what();
}

// The paths under `heading`, the first few of them.
std::string Named(std::string_view heading, const std::vector<std::string>& paths) {
  return paths.empty() ? "" : "\r\r" + NamedList(heading, paths);
}

std::string_view KeptHeading(NotRestored kind) {
  switch (kind) {
    case NotRestored::kReadOnly:
      return "These files are read-only. Their earlier text is kept for another Undo Last Run:";
    case NotRestored::kHeldOpen:
      return "These files are held open by another program. Their earlier text is kept for another Undo Last Run:";
    case NotRestored::kFolderMissing:
      return "The folders of these files are missing. Their earlier text is kept for another Undo Last Run:";
    case NotRestored::kFolderInPlace:
      return "A folder stands where these files were. Their earlier text is kept for another Undo Last Run:";
    case NotRestored::kCannotWrite:
      break;
  }
  return "These files could not be written. Their earlier text is kept for another Undo Last Run:";
}

std::string Outcome(const UndoStore::Outcome& outcome) {
  std::string text = "Undo Last Run restored " + std::to_string(outcome.restored.size()) + " file(s).";
  text += Named("These files were changed or removed since that run and were left as they are:", outcome.leftAlone);
  text += Named("The kept earlier text of these files is damaged. They were left as they are:", outcome.damaged);
  for (NotRestored kind : {NotRestored::kReadOnly, NotRestored::kHeldOpen, NotRestored::kFolderMissing,
                          NotRestored::kFolderInPlace, NotRestored::kCannotWrite}) {
    std::vector<std::string> paths;
    for (const auto& [path, reason] : outcome.kept) {
      if (reason == kind) paths.push_back(path);
    }
    text += Named(KeptHeading(kind), paths);
  }
  if (outcome.notReached > 0) {
    text += "\r\rUndo Last Run was stopped. The earlier text of the other " + std::to_string(outcome.notReached) +
            " file(s) of that run is kept for another Undo Last Run.";
  }
  return text;
}

bool AllRestored(const UndoStore::Outcome& outcome) {
  return outcome.leftAlone.empty() && outcome.damaged.empty() && outcome.kept.empty() && outcome.notReached == 0;
}

}  // namespace

// What the undo tells the window as it goes: the run's progress bar, and the
// window kept live.
class MainUndoCommand::UndoProgress final : public UndoHost {
 public:
  UndoProgress(MainView& view, int total) : view_(view), progress_(view, total) {}

  void Restored(const std::string&) override {}
  void ProcessPendingEvents() override { view_.App().ProcessPendingMessages(); }
  void FileDone(int done) override { progress_.Done(done); }
  bool StopRequested() override { return view_.StopRequested(); }

  // Where the undo ended, exactly.
  void Show() { progress_.Show(); }

 private:
  MainView& view_;
  MainView::Progress progress_;
};

void MainUndoCommand::UndoLastRun1Click() {
  if (view_.Working()) return;
  Application& app = view_.App();
  // A journal in no shape to follow is refused here, before anything is touched.
  UndoStore::Choice choice = session_.HoldRunToUndo();
  if (!choice.store) {
    const std::string told =
        choice.laterRunElsewhere ? Formatted(kLaterRunElsewhere, *choice.laterRunElsewhere) : "There is no run to undo.";
    app.MessageBox().Show(app.Title(), told, MB_OK | MB_ICONINFORMATION);
    return;
  }
  const UndoJournal& journal = choice.journal;
  const auto changed = std::count_if(journal.entries.begin(), journal.entries.end(), RunWroteFile);
  std::string question = "Do you want to undo the last run of " + journal.runTime + "?\rIt changed " +
                         std::to_string(changed) + " file(s).";
  if (choice.laterRunElsewhere) {
    question = "A later run, of " + *choice.laterRunElsewhere +
               ", belongs to another copy of Varnex that is still running.\r" + question;
  }
  if (!view_.Confirm(question)) {
    session_.ReleaseWithoutRestoring(choice);
    return;
  }

  const Application::BusyCursor busy(app);
  UndoProgress progress(view_, static_cast<int>(journal.entries.size()));
  RunSession::Undone undone;
  {
    const MainView::ListLock lock(view_);
    undone = session_.Undo(choice, progress);
    progress.Show();
  }
  const UndoStore::Outcome& outcome = undone.outcome;
  if (view_.ClosingAfterWork()) {
    PostMessageW(view_.Window(), WM_CLOSE, 0, 0);
    return;
  }
  app.MessageBox().Show(app.Title(), Outcome(outcome),
                        MB_OK | (AllRestored(outcome) ? MB_ICONINFORMATION : MB_ICONWARNING));
  if (undone.logFailure) std::rethrow_exception(undone.logFailure);
}

}  // namespace varnex
