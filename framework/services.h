#pragma once
// The three ways the program reaches outside itself that tests replace: message
// boxes, the common file dialogs and starting other programs. The system's own
// versions pass straight through to the Win32 calls.

#include <windows.h>

#include <commdlg.h>

#include <string>

namespace varnex {

class MessageBoxes {
 public:
  // The caption and text are UTF-8. The flags are MessageBox's (MB_YESNO | MB_ICONQUESTION is 36); the result is
  // the button pressed (IDYES is 6). Every window of the program is disabled
  // while the box is up; the one that was active is active again after it.
  virtual int Show(const std::string& caption, const std::string& text, UINT flags) = 0;

 protected:
  ~MessageBoxes() = default;
};

class FileDialogs {
 public:
  virtual bool Open(OPENFILENAMEA& request) = 0;
  virtual bool Save(OPENFILENAMEA& request) = 0;

 protected:
  ~FileDialogs() = default;
};

class ProgramStarter {
 public:
  virtual UINT Exec(const std::string& commandLine, UINT showCommand) = 0;
  // ShellExecuteA with the verb "open", no parameters and no working directory.
  // The program's links open hidden: the handler the shell starts shows its own
  // window.
  virtual HINSTANCE ShellOpen(HWND parent, const std::string& file, INT showCommand = SW_HIDE) = 0;

 protected:
  ~ProgramStarter() = default;
};

struct Services {
  MessageBoxes& messageBoxes;
  FileDialogs& fileDialogs;
  ProgramStarter& programs;
};

// The real thing.
Services SystemServices();

}  // namespace varnex
