#pragma once
// Small ways to the system that both pickers use: the process's current
// directory, the locale's letter case and the code page's lead bytes.

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace varnex {

std::string CurrentDirectory();
// A failed change leaves the current directory as it was; nothing is reported.
bool ChangeDirectory(const std::string& path);

bool IsLeadByte(unsigned char c);
std::string LocaleUpper(std::string text);
std::string LocaleLower(std::string text);

// The process error mode for a scope, put back on every way out.
class ErrorModeScope {
 public:
  explicit ErrorModeScope(UINT mode) : previous_(SetErrorMode(mode)) {}
  ~ErrorModeScope() { SetErrorMode(previous_); }
  ErrorModeScope(const ErrorModeScope&) = delete;
  ErrorModeScope& operator=(const ErrorModeScope&) = delete;

 private:
  UINT previous_;
};

// The system's small-icon list, shared by the whole process; null when the
// glyphs come from the program's bitmaps.
HIMAGELIST SystemSmallIcons();

}  // namespace varnex
