// TMF's batch run: the button that starts and stops it, what the run reads
// from the window and the progress it shows there.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/error.h"
#include "forms/hopt.h"
#include "forms/main.h"
#include "forms/results.h"
#include "forms/mainprogress.h"
#include "forms/preview.h"
#include "framework/windowtext.h"

namespace varnex {
namespace {

constexpr char kConfirmRun[] =
    "Please click Yes, if you are really sure all files you want to compress are plain text files "
    "(example: *.TXT, *.HTM).\rA binary file (example: *.DOC, *.EXE, *.JPG) will be damaged.";

// Moving the list's current entry scrolls the list, which costs Wine several
// milliseconds: it follows at a slower rate than the bar.
constexpr ULONGLONG kShowInterval = 100;      // milliseconds
constexpr ULONGLONG kListShowInterval = 250;  // milliseconds

}  // namespace

TMF::Progress::Progress(TMF& form, int total) : form_(form), total_(total), taskbar_(form.Handle()) {
  SendMessageW(form_.Control(kProgressBar1), PBM_SETRANGE32, 0, total_);
  Show();
  for (int id : {kProgressBar1, kLabel5}) ShowWindow(form_.Control(id), SW_SHOWNA);
}

TMF::Progress::~Progress() {
  for (int id : {kProgressBar1, kLabel5}) ShowWindow(form_.Control(id), SW_HIDE);
}

void TMF::Progress::Current(int index) {
  current_ = index;
  ShowNowAndThen();
}

void TMF::Progress::Done(int done) {
  done_ = done;
  ShowNowAndThen();
}

void TMF::Progress::Show(bool list) {
  if (list && current_ >= 0) form_.fileList_.MakeCurrent(current_);
  SendMessageW(form_.Control(kProgressBar1), PBM_SETPOS, done_, 0);
  SetText(form_.Control(kLabel5), std::to_string(done_) + " of " + std::to_string(total_));
  taskbar_.Set(done_, total_);
}

void TMF::Progress::ShowNowAndThen() {
  const ULONGLONG now = form_.app_.Clock()();
  if (now - lastShown_ < kShowInterval) return;
  lastShown_ = now;
  const bool list = now - listShown_ >= kListShowInterval;
  if (list) listShown_ = now;
  Show(list);
}

class TMF::RunHost final : public BatchRunHost {
 public:
  // The progress is up from here until the run's results have gone.
  RunHost(TMF& form, int total) : form_(form), progress_(form, total) {}

  std::string FindText() override { return form_.FindText(); }
  std::string ReplaceText() override { return form_.ReplaceText(); }
  RunOptions Options() override { return form_.Options(); }
  bool CaseSensitive() override { return form_.panel_ != nullptr && form_.panel_->CaseSensitive(); }
  void ProcessPendingEvents() override { form_.app_.ProcessPendingMessages(); }
  void ShowCurrent(int index) override { progress_.Current(index); }
  void FileDone(int done) override { progress_.Done(done); }
  bool StopRequested() override { return form_.StopRequested(); }
  void ReportFailure(const Error& failure) override {
    form_.app_.MessageBox().Show(form_.app_.Title(), WithFullStop(failure.what()), MB_OK);
  }
  void ReportUndoUnavailable(const std::string& message) override {
    form_.app_.MessageBox().Show(form_.app_.Title(), WithFullStop(message), MB_OK | MB_ICONWARNING);
  }

  void Show() { progress_.Show(); }

 private:
  TMF& form_;
  Progress progress_;
};

RunOptions TMF::Options() const {
  if (panel_ == nullptr) return {};
  return panel_->Options();
}

bool TMF::TextsMakeARun() {
  if (FindText().empty()) {
    app_.MessageBox().Show("Error", "Find text can't be blank!", MB_OK | MB_ICONERROR);
    return false;
  }
  if (FindText() == ReplaceText()) {
    app_.MessageBox().Show("Error", "Find and replace texts can't be the same!", MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}

void TMF::ButtonClick() {
  if (running_) return StopRun();
  if (app_.MessageBox().Show("Confirmation", kConfirmRun, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  const Application::BusyCursor busy(app_);
  const int count = fileList_.Count();
  if (count == 0) return;
  if (!TextsMakeARun()) return;

  RunHost host(*this, count);
  RunCounts counts;
  {
    const ListLock lock(*this);
    counts = session_.Run(fileList_.Files(), host);
    host.Show();
  }
  if (closeAfterRun_) {
    PostMessageW(Handle(), WM_CLOSE, 0, 0);
    return;
  }
  TRF::Show(app_, counts.searched, counts.written, counts.failed, LogPath(), counts.binary);
  fileList_.MakeCurrent(0);
}

void TMF::PreviewReplaceAll1Click() {
  if (running_ || !fileList_.HoldsRealFiles() || !TextsMakeARun()) return;
  if (TPF::Show(app_, settings_, session_, {fileList_.Files(), FindText(), ReplaceText(), Options()})) ButtonClick();
}

void TMF::StopRun() {
  if (running_) stopRequested_ = true;
}

// A close asked for meanwhile ends the run after the file in hand, as a stop does.
bool TMF::StopRequested() const { return stopRequested_ || closeAfterRun_; }

TMF::ListLock::ListLock(TMF& form) : form_(form) {
  form_.running_ = true;
  form_.stopRequested_ = false;
  DragAcceptFiles(form_.Handle(), FALSE);
  for (int id : {kListBox1, kSpeedButton1, kSpeedButton2}) EnableWindow(form_.Control(id), FALSE);
  SetText(form_.Control(kButton), kStopCaption);
}

TMF::ListLock::~ListLock() {
  form_.running_ = false;
  DragAcceptFiles(form_.Handle(), TRUE);
  for (int id : {kListBox1, kSpeedButton1}) EnableWindow(form_.Control(id), TRUE);
  SetText(form_.Control(kButton), kRunCaption);
  form_.FollowListState();
}

}  // namespace varnex
