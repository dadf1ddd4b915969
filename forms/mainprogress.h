#pragma once
// TMF's progress bar and its "N of M" label, up for the length of a run or an
// undo, following it at a rate a reader can follow: a visible control
// repaints at every change, and under Wine that costs more than a file.

#include <windows.h>

#include "forms/main.h"
#include "framework/taskbarprogress.h"

namespace varnex {

class TMF::Progress {
 public:
  Progress(TMF& form, int total);
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

  TMF& form_;
  int total_;
  int current_ = -1;  // none: an undo does not walk the list
  int done_ = 0;
  ULONGLONG lastShown_ = 0;
  ULONGLONG listShown_ = 0;
  TaskbarProgress taskbar_;
};

}  // namespace varnex
