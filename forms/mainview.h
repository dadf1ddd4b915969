#pragma once
// What the main window's commands (the list's, the run's and the undo's) see
// of the window: the find and replace texts, the options, the file list, a
// confirmation, the list locked for the length of a run or an undo, and the
// progress shown meanwhile. TMF fills it in as it makes its controls; no
// command sees TMF itself.

#include <windows.h>

#include <string>

#include "filelist/filelist.h"
#include "framework/application.h"
#include "framework/controls.h"
#include "framework/taskbarprogress.h"
#include "run/runoptions.h"

namespace varnex {

class TAF;

// The main window's controls, by the names of its layout.
enum MainControlId {
  kGroupBox1 = 101,
  kListBox1,
  kSpeedButton1,
  kSpeedButton2,
  kButton4,
  kLabel3,
  kEdit2,
  kLabel4,
  kEdit3,
  kButton,
  kProgressBar1,  // files done of files listed, during a run
  kLabel5,        // the same as "N of M"
};

// The main window's menu items, the pop-up menus' included.
enum MainMenuId {
  kVersionHistory1 = 201,
  kAbout1,
  kFiles1,
  kDirectory1,
  kDeleteselected1,
  kDeleteall1,
  kLoadfilelist1,
  kSavefilelistas1,
  kUndoLastRun1,
  kPreviewReplaceAll1,
  kExit1,
  kReplaceAllNow1,
  kStop1,
};

class MainView {
 public:
  // "Replace All Now" while no run goes, "STOP" during a run.
  static constexpr char kRunCaption[] = "Replace All &Now";
  static constexpr char kStopCaption[] = "&STOP";

  struct Parts {
    HWND window = nullptr;
    ControlView findMemo, replaceMemo;  // Edit2, Edit3
    ControlView runButton;              // Button
    ControlView addButton, removeButton;  // SpeedButton1, SpeedButton2
    ProgressBar progressBar;            // ProgressBar1
    ControlView progressLabel;          // Label5
  };

  explicit MainView(Application& application) : app_(application) {}
  MainView(const MainView&) = delete;
  MainView& operator=(const MainView&) = delete;

  // The controls, once made; the file list takes the list box.
  void Attach(const Parts& parts, HWND listBox);
  void AttachOptionsPanel(TAF& panel) { panel_ = &panel; }
  // Where the run reads its options; nothing before it is attached.
  TAF* OptionsPanel() const { return panel_; }

  Application& App() const { return app_; }
  // The owner of the dialogs a command opens.
  HWND Window() const { return parts_.window; }
  FileList& Files() { return files_; }

  // The find and replace texts as the memos hold them now.
  std::string FindText() const { return parts_.findMemo.Text(); }
  std::string ReplaceText() const { return parts_.replaceMemo.Text(); }
  bool InMemo() const { return parts_.findMemo.HasFocus() || parts_.replaceMemo.HasFocus(); }
  // The options panel's choices, as a run takes them.
  RunOptions Options() const;
  bool CaseSensitive() const;
  // Yes or No, under the caption "Confirmation".
  bool Confirm(const std::string& question) const;

  // "Replace All Now" and the minus button are enabled exactly while the list
  // holds real files.
  void FollowListState();

  // While a run or an undo is going, every command that would change the list
  // does nothing, and "Replace All Now" is the button that stops it.
  bool Working() const { return working_; }
  // Ends the run or undo in hand after its current file; nothing without one.
  void RequestStop() {
    if (working_) stopRequested_ = true;
  }
  // A close asked for meanwhile ends the work after the file in hand, as a
  // stop does; the window closes once it has ended.
  bool StopRequested() const { return stopRequested_ || closeAfterWork_; }
  void CloseAfterWork() { closeAfterWork_ = true; }
  bool ClosingAfterWork() const { return closeAfterWork_; }

  class ListLock;
  class Progress;

 private:
  Application& app_;
  TAF* panel_ = nullptr;
  FileList files_;
  Parts parts_;
  bool working_ = false;
  bool stopRequested_ = false;
  bool closeAfterWork_ = false;
};

// The file list's controls are off for the length of a run or an undo,
// however it ends, so the list it walks stays as it was; the memos and the
// options panel stay live, and the run button is the stop button.
class MainView::ListLock {
 public:
  explicit ListLock(MainView& view);
  ~ListLock();
  ListLock(const ListLock&) = delete;
  ListLock& operator=(const ListLock&) = delete;

 private:
  MainView& view_;
};

// The progress bar and its "N of M" label, up for the length of a run or an
// undo, following it at a rate a reader can follow: a visible control
// repaints at every change, and under Wine that costs more than a file.
class MainView::Progress {
 public:
  Progress(MainView& view, int total);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Entry `index` of the file list is in hand: the list follows it.
  void Current(int index);
  // `done` of the total are behind.
  void Done(int done);
  // Where it ended, exactly.
  void Show() { Show(true); }

 private:
  void Show(bool list);
  void ShowNowAndThen();

  MainView& view_;
  int total_;
  int current_ = -1;  // none: an undo does not walk the list
  int done_ = 0;
  ULONGLONG lastShown_ = 0;
  ULONGLONG listShown_ = 0;
  TaskbarProgress taskbar_;
};

}  // namespace varnex
