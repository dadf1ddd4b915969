#pragma once
// The three ways the program reaches outside itself that tests replace: message
// boxes, the common file dialogs and starting other programs. The system's own
// versions pass straight through to the Win32 calls.

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <string_view>

namespace varnex {

class MessageBoxes {
 public:
  // The caption and text are UTF-8. The flags are MessageBox's (MB_YESNO | MB_ICONQUESTION is 36); the result is
  // the button pressed (IDYES is 6). Every window of the program is disabled
  // while the box is up; the one that was active is active again after it.
  virtual int Show(const std::string& caption, const std::string& text, UINT flags) = 0;
  // The same box with a check box under the text captioned `check` (a task
  // dialog's verification box), which `checked` starts as and comes back as
  // the user left it.
  virtual int ShowWithCheck(const std::string& caption, const std::string& text, UINT flags, const std::string& check,
                            bool& checked) = 0;

 protected:
  ~MessageBoxes() = default;
};

// Message boxes that cut every line longer than a long path in its middle
// (ShortenedInMiddle) before `boxes` shows it: a box lays out all it is given,
// and a line of megabytes holds the program up for minutes.
class ShortLineBoxes final : public MessageBoxes {
 public:
  explicit ShortLineBoxes(MessageBoxes& boxes) : boxes_(boxes) {}
  int Show(const std::string& caption, const std::string& text, UINT flags) override;
  int ShowWithCheck(const std::string& caption, const std::string& text, UINT flags, const std::string& check,
                    bool& checked) override;

 private:
  MessageBoxes& boxes_;
};

class FileDialogs {
 public:
  virtual bool Open(OPENFILENAMEW& request) = 0;
  virtual bool Save(OPENFILENAMEW& request) = 0;

 protected:
  ~FileDialogs() = default;
};

// What a file dialog wrote into its buffer, in UTF-8: a path, or with several
// files a folder and names, each ended by a NUL; the two NULs that end it (or
// the buffer's end) are left off.
std::string DialogAnswer(std::wstring_view buffer);

class ProgramStarter {
 public:
  // As WinExec: above 31 when the program started, else the reason (2 for a
  // program not found); started by CreateProcessW, so the line may name any file.
  virtual UINT Exec(const std::string& commandLine, UINT showCommand) = 0;
  // ShellExecuteW with the verb "open", no parameters and no working directory.
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
