#pragma once
// Progress on the window's taskbar button, where the system offers it
// (ITaskbarList3, Windows 7 on); elsewhere every call does nothing.

#include <windows.h>

#include <shobjidl.h>

namespace varnex {

class TaskbarProgress {
 public:
  explicit TaskbarProgress(HWND window);
  // Takes the progress off the button.
  ~TaskbarProgress();
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  void Set(ULONGLONG done, ULONGLONG total);

 private:
  HWND window_;
  ITaskbarList3* list_ = nullptr;
  bool comStarted_ = false;
};

}  // namespace varnex
