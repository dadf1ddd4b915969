#include "forms/mainview.h"

#include <shellapi.h>

#include "forms/hopt.h"

namespace varnex {
namespace {

// Moving the list's current entry scrolls the list, which costs Wine several
// milliseconds: it follows at a slower rate than the bar.
constexpr ULONGLONG kShowInterval = 100;      // milliseconds
constexpr ULONGLONG kListShowInterval = 250;  // milliseconds

}  // namespace

void MainView::Attach(const Parts& parts, HWND listBox) {
  parts_ = parts;
  files_.Attach(listBox);
}

RunOptions MainView::Options() const {
  if (panel_ == nullptr) return {};
  return panel_->Options();
}

bool MainView::CaseSensitive() const { return panel_ != nullptr && panel_->CaseSensitive(); }

bool MainView::Confirm(const std::string& question) const {
  return app_.MessageBox().Show("Confirmation", question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void MainView::FollowListState() {
  const bool realFiles = files_.HoldsRealFiles();
  parts_.runButton.Enable(realFiles);
  parts_.removeButton.Enable(realFiles);
}

MainView::ListLock::ListLock(MainView& view) : view_(view) {
  view_.working_ = true;
  view_.stopRequested_ = false;
  DragAcceptFiles(view_.Window(), FALSE);
  for (const ControlView& control : {ControlView(view_.files_.Handle()), view_.parts_.addButton,
                                     view_.parts_.removeButton}) {
    control.Enable(false);
  }
  view_.parts_.runButton.SetText(kStopCaption);
}

MainView::ListLock::~ListLock() {
  view_.working_ = false;
  DragAcceptFiles(view_.Window(), TRUE);
  for (const ControlView& control : {ControlView(view_.files_.Handle()), view_.parts_.addButton}) {
    control.Enable(true);
  }
  view_.parts_.runButton.SetText(kRunCaption);
  view_.FollowListState();
}

MainView::Progress::Progress(MainView& view, int total) : view_(view), total_(total), taskbar_(view.Window()) {
  view_.parts_.progressBar.SetRange(total_);
  Show();
  view_.parts_.progressBar.Show(true);
  view_.parts_.progressLabel.Show(true);
}

MainView::Progress::~Progress() {
  view_.parts_.progressBar.Show(false);
  view_.parts_.progressLabel.Show(false);
}

void MainView::Progress::Current(int index) {
  current_ = index;
  ShowNowAndThen();
}

void MainView::Progress::Done(int done) {
  done_ = done;
  ShowNowAndThen();
}

void MainView::Progress::Show(bool list) {
  if (list && current_ >= 0) view_.files_.MakeCurrent(current_);
  view_.parts_.progressBar.SetPosition(done_);
  view_.parts_.progressLabel.SetText(std::to_string(done_) + " of " + std::to_string(total_));
  taskbar_.Set(done_, total_);
}

void MainView::Progress::ShowNowAndThen() {
  const ULONGLONG now = view_.app_.Clock()();
  if (now - lastShown_ < kShowInterval) return;
  lastShown_ = now;
  const bool list = now - listShown_ >= kListShowInterval;
  if (list) listShown_ = now;
  Show(list);
}

}  // namespace varnex
