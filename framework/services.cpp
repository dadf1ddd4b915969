#include "framework/services.h"

#include <shellapi.h>

#include "framework/application.h"
#include "framework/unicode.h"

namespace varnex {
namespace {

struct SystemMessageBoxes final : MessageBoxes {
  int Show(const std::string& caption, const std::string& text, UINT flags) override {
    // The box is owned by the window the user is in: the box disables it and
    // enables it again before it goes, so the activation comes back to it. An
    // ownerless MB_TASKMODAL box enables the windows only once it has gone; the
    // activation then finds none of them, and the keyboard, Alt+F4 included,
    // reaches no window of the program until the user clicks one. The other
    // windows (the options panel, the main window under a dialog) are
    // disabled around it.
    HWND owner = GetActiveWindow();
    const ModalScope others(owner);
    return MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), flags);
  }
};

struct SystemFileDialogs final : FileDialogs {
  bool Open(OPENFILENAMEA& request) override { return GetOpenFileNameA(&request) != FALSE; }
  bool Save(OPENFILENAMEA& request) override { return GetSaveFileNameA(&request) != FALSE; }
};

struct SystemProgramStarter final : ProgramStarter {
  UINT Exec(const std::string& commandLine, UINT showCommand) override {
    return WinExec(commandLine.c_str(), showCommand);
  }
  HINSTANCE ShellOpen(HWND parent, const std::string& file, INT showCommand) override {
    return ShellExecuteA(parent, "open", file.c_str(), nullptr, nullptr, showCommand);
  }
};

}  // namespace

Services SystemServices() {
  static SystemMessageBoxes messageBoxes;
  static SystemFileDialogs fileDialogs;
  static SystemProgramStarter programs;
  return Services{messageBoxes, fileDialogs, programs};
}

}  // namespace varnex
