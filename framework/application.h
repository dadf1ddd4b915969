#pragma once
// The application object: title, hint timing, the general error report, the
// message loop and the ways out to the system that tests replace.

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "framework/services.h"
#include "framework/tickclock.h"

namespace varnex {

// Sent to a top-level window with each key press before the keyboard handling
// of a dialog box sees it (lParam: the MSG). A window that answers nonzero has
// taken the key; windows that do not know the message answer zero.
inline constexpr UINT kKeyPreview = WM_APP + 0x100;

class Application {
 public:
  Application(HINSTANCE instance, Services services, TickClock clock = GetTickCount64);

  HINSTANCE Instance() const { return instance_; }
  const TickClock& Clock() const { return clock_; }
  MessageBoxes& MessageBox() const { return boxes_; }
  FileDialogs& FileDialog() const { return services_.fileDialogs; }
  ProgramStarter& Programs() const { return services_.programs; }

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  UINT HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(UINT milliseconds) { hintHidePause_ = milliseconds; }

  // The hourglass over every window of the program, for as long as it lives;
  // a modal window that opens meanwhile shows the normal pointer.
  class BusyCursor {
   public:
    explicit BusyCursor(Application& application);
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

   private:
    Application& app_;
  };
  bool Busy() const { return busy_ > 0; }

  // The general error report: the failure's message in a box captioned with the
  // application title, with the error icon. The program then carries on.
  void ShowException(const std::exception& failure) noexcept;

  // Lets pending window messages through during long work, looking at the queue
  // only when some milliseconds have passed since the last look: a look per
  // replacement would cost more than the replacing.
  void ProcessPendingMessages();

  // Runs the message loop until the main window ends it; returns the exit code.
  int Run();
  // Runs messages until `done` says so, or the program is ending.
  void RunModalLoop(const std::function<bool()>& done);

  // Starts the text editor on one file and returns at once; nothing is
  // reported if it does not start.
  void OpenInNotepad(const std::string& path, UINT showCommand) const;

 private:
  void ProcessMessages();
  // Lets each window take a key first, then handle the keyboard as a dialog
  // box does, before the message goes its usual way.
  static void Dispatch(MSG& message);

  HINSTANCE instance_;
  Services services_;
  // Every box of the program goes through these.
  mutable ShortLineBoxes boxes_;
  TickClock clock_;
  std::string title_;
  UINT hintHidePause_ = 2500;
  ULONGLONG lastLook_ = 0;
  int busy_ = 0;
  bool quitSeen_ = false;
  int exitCode_ = 0;
};

// Disables every other window of the thread while a modal window is up, and
// enables them again afterwards.
class ModalScope {
 public:
  explicit ModalScope(HWND modal);
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  std::vector<HWND> disabled_;
};

// The directory of the executable, without a trailing backslash except at a
// drive root.
std::string ProgramDirectory();

}  // namespace varnex
