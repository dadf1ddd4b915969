#include "framework/services.h"

#include <shellapi.h>

namespace varnex {
namespace {

struct SystemMessageBoxes final : MessageBoxes {
  int Show(const std::string& caption, const std::string& text, UINT flags) override {
    // Without an owner, MB_TASKMODAL disables all of this thread's windows.
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags | MB_TASKMODAL);
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
