#pragma once
// The replacement routine as the program runs it: the case option read before
// every search, pending events let through while it works, and every change of
// a file's text recorded in the activity log. The main window's ReplaceStr and
// the batch run both replace through here.

#include <functional>
#include <string>
#include <string_view>

#include "run/activitylog.h"

namespace varnex {

class Replacer {
 public:
  Replacer(ActivityLog& log, std::function<bool()> caseSensitive, std::function<void()> processPendingEvents);

  // Every occurrence of the find text replaced, left to right. With the log
  // switch on, a change sets FileChanged and adds a line for `currentFile` to
  // the activity log.
  std::string ReplaceStr(std::string_view text, std::string_view findText, std::string_view replaceText,
                         bool logSwitch, std::string_view currentFile = {});
  // The same, logged, for a whole file's text, which stays as it is: true with
  // the new text in `result`, false (and no copy made) when nothing was
  // replaced. The texts searched may be converted to the file's encoding; the
  // log names them as they were typed.
  struct TypedTexts {
    std::string_view find;
    std::string_view replace;
  };
  bool ReplaceStrInto(std::string_view text, std::string_view findText, std::string_view replaceText,
                      std::string_view currentFile, TypedTexts typed, std::string& result);
  // The same for a text the caller gives up, which comes back, replaced where
  // it lies, unless the replacement makes it grow.
  std::string ReplaceStr(std::string&& text, std::string_view findText, std::string_view replaceText,
                         std::string_view currentFile, TypedTexts typed);
  // The dynamic variables of `text` expanded for the file at `path`, each
  // through ReplaceStr with the log switch off.
  std::string ExpandVariables(std::string_view text, std::string_view path);

  // Cleared by the batch run before each file, set by ReplaceStr.
  bool FileChanged = false;

 private:
  class Context;

  ActivityLog& log_;
  std::function<bool()> caseSensitive_;
  std::function<void()> processPendingEvents_;
};

}  // namespace varnex
