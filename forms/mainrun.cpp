#include "forms/mainrun.h"

#include <windows.h>

#include <string>

#include "engine/error.h"
#include "engine/regexmatcher.h"
#include "forms/preview.h"
#include "forms/results.h"

namespace varnex {
namespace {

constexpr char kConfirmRun[] =
    "Please click Yes, if you are really sure all files you want to change are plain text files "
    "(example: *.TXT, *.HTM).\rA binary file (example: *.DOC, *.EXE, *.JPG) will be damaged.";

constexpr char kSameForEveryFile[] = "&Do the same for every file of this run";

}  // namespace

// What the run asks of the window and tells it as it goes.
class MainRunCommand::RunHost final : public BatchRunHost {
 public:
  // The progress is up from here until the run's results have gone.
  RunHost(MainView& view, int total) : view_(view), progress_(view, total) {}

  std::string FindText() override { return view_.FindText(); }
  std::string ReplaceText() override { return view_.ReplaceText(); }
  RunOptions Options() override { return view_.Options(); }
  bool CaseSensitive() override { return view_.CaseSensitive(); }
  void ProcessPendingEvents() override { view_.App().ProcessPendingMessages(); }
  void ShowCurrent(int index) override { progress_.Current(index); }
  void FileDone(int done) override { progress_.Done(done); }
  bool StopRequested() override { return view_.StopRequested(); }
  // The reason on a second line; once the user has asked for the same for
  // every file, the rest of the run's failures wait for the results.
  void ReportFailure(const Error& failure) override {
    if (sameForEveryFile_) return;
    Application& app = view_.App();
    app.MessageBox().ShowWithCheck(app.Title(), WithReason(failure, "\n"), MB_OK, kSameForEveryFile,
                                   sameForEveryFile_);
  }
  void ReportUndoUnavailable(const std::string& message) override {
    Application& app = view_.App();
    app.MessageBox().Show(app.Title(), WithFullStop(message), MB_OK | MB_ICONWARNING);
  }

  void Show() { progress_.Show(); }

 private:
  MainView& view_;
  MainView::Progress progress_;
  bool sameForEveryFile_ = false;
};

MainRunCommand::MainRunCommand(MainView& view, RunSession& session, const SettingsStore& settings)
    : view_(view), session_(session), settings_(settings) {}

bool MainRunCommand::FindTextGiven() {
  if (!view_.FindText().empty()) return true;
  view_.App().MessageBox().Show("Error", "Find text can't be blank!", MB_OK | MB_ICONERROR);
  return false;
}

bool MainRunCommand::TextsMakeARun() {
  if (!FindTextGiven()) return false;
  const std::string find = view_.FindText(), replace = view_.ReplaceText();
  if (find == replace) {
    view_.App().MessageBox().Show("Error", "Find and replace texts can't be the same!", MB_OK | MB_ICONERROR);
    return false;
  }
  // A pattern is refused before any file is read, the run's and the preview's alike.
  if (view_.Options().regularExpression) {
    try {
      CheckRegularExpression(find, replace);
    } catch (const Error& refusal) {
      view_.App().MessageBox().Show("Error", WithFullStop(refusal.what()), MB_OK | MB_ICONERROR);
      return false;
    }
  }
  return true;
}

void MainRunCommand::ButtonClick() {
  if (view_.Working()) return view_.RequestStop();
  // A blank find text is told before the question: the answer would be wasted.
  if (!FindTextGiven()) return;
  Application& app = view_.App();
  if (app.MessageBox().Show("Confirmation", kConfirmRun, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  const Application::BusyCursor busy(app);
  FileList& files = view_.Files();
  const int count = files.Count();
  if (count == 0) return;
  if (!TextsMakeARun()) return;

  RunHost host(view_, count);
  RunCounts counts;
  {
    const MainView::ListLock lock(view_);
    counts = session_.Run(files.Files(), host);
    host.Show();
  }
  if (view_.ClosingAfterWork()) {
    PostMessageW(view_.Window(), WM_CLOSE, 0, 0);
    return;
  }
  TRF::Show(app, counts, session_.LogPath());
  files.MakeCurrent(0);
}

void MainRunCommand::PreviewReplaceAll1Click() {
  FileList& files = view_.Files();
  if (view_.Working() || !files.HoldsRealFiles() || !TextsMakeARun()) return;
  TPF::Request request{files.Files(), view_.FindText(), view_.ReplaceText(), view_.Options()};
  if (TPF::Show(view_.App(), settings_, session_, std::move(request))) ButtonClick();
}

}  // namespace varnex
