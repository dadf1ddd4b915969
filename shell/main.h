#pragma once
// TMF, the main window: it owns the activity log for the whole run and carries
// the replacement routine that the batch run and the dynamic variables use.

#include <windows.h>

#include <string>
#include <string_view>

#include "run/activitylog.h"
#include "run/logfile.h"
#include "shell/window.h"

namespace varnex {

class TMF : public Window<TMF> {
 public:
  TMF(Application& application, std::string programDirectory);

  // Creates the window, not yet visible; its creation step starts the log.
  void Create();
  // Shows the window centred on the screen.
  void Show();

  // Every occurrence of the find text replaced, left to right. With the log
  // switch on, a change sets FileChanged and adds a line for `currentFile` to
  // the activity log.
  std::string ReplaceStr(std::string_view text, std::string_view findText, std::string_view replaceText,
                         bool logSwitch, std::string_view currentFile = {});
  std::string FileExt(std::string_view extension) const;
  // The dynamic variables of `text` expanded for the file at `path`, each
  // through ReplaceStr with the log switch off.
  std::string ExpandVariables(std::string_view text, std::string_view path);

  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool on) { caseSensitive_ = on; }

  // Cleared by the batch run before each file, set by ReplaceStr.
  bool FileChanged = false;

  const std::string& LogPath() const { return logFile_.Path(); }
  const ActivityLog& Log() const { return activityLog_; }

 private:
  friend class Window<TMF>;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void FormCreate();
  void FormClose();

  std::string programDirectory_;
  LogFile logFile_;
  ActivityLog activityLog_;
  bool caseSensitive_ = false;
};

}  // namespace varnex
