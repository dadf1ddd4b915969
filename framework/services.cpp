#include "framework/services.h"

#include <commctrl.h>
#include <shellapi.h>

#include "engine/paths.h"
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
  int ShowWithCheck(const std::string& caption, const std::string& text, UINT flags, const std::string& check,
                    bool& checked) override {
    HWND owner = GetActiveWindow();
    const ModalScope others(owner);
    const std::wstring wideCaption = Wide(caption), wideText = Wide(text), wideCheck = Wide(check);
    TASKDIALOGCONFIG box{};
    box.cbSize = sizeof box;
    box.hwndParent = owner;
    box.dwFlags = TDF_POSITION_RELATIVE_TO_WINDOW | (checked ? TDF_VERIFICATION_FLAG_CHECKED : 0);
    box.dwCommonButtons = TaskDialogButtons(flags);
    box.pszWindowTitle = wideCaption.c_str();
    box.pszMainIcon = TaskDialogIcon(flags);
    box.pszContent = wideText.c_str();
    box.pszVerificationText = wideCheck.c_str();
    int pressed = 0;
    BOOL ticked = checked ? TRUE : FALSE;
    if (FAILED(TaskDialogIndirect(&box, &pressed, nullptr, &ticked))) return 0;
    checked = ticked != FALSE;
    return pressed;
  }

 private:
  static TASKDIALOG_COMMON_BUTTON_FLAGS TaskDialogButtons(UINT flags) {
    switch (flags & MB_TYPEMASK) {
      case MB_OKCANCEL:
        return TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
      case MB_YESNO:
        return TDCBF_YES_BUTTON | TDCBF_NO_BUTTON;
      default:
        return TDCBF_OK_BUTTON;
    }
  }
  static PCWSTR TaskDialogIcon(UINT flags) {
    switch (flags & MB_ICONMASK) {
      case MB_ICONERROR:
        return TD_ERROR_ICON;
      case MB_ICONWARNING:
        return TD_WARNING_ICON;
      case MB_ICONINFORMATION:
        return TD_INFORMATION_ICON;
      default:
        return nullptr;
    }
  }
};

struct SystemFileDialogs final : FileDialogs {
  bool Open(OPENFILENAMEW& request) override { return GetOpenFileNameW(&request) != FALSE; }
  bool Save(OPENFILENAMEW& request) override { return GetSaveFileNameW(&request) != FALSE; }
};

struct SystemProgramStarter final : ProgramStarter {
  UINT Exec(const std::string& commandLine, UINT showCommand) override {
    std::wstring line = Wide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      const DWORD error = GetLastError();
      return error > 31 ? ERROR_FILE_NOT_FOUND : error;
    }
    // As WinExec waits: until the program is ready for input, 30 s at most.
    WaitForInputIdle(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 33;
  }
  HINSTANCE ShellOpen(HWND parent, const std::string& file, INT showCommand) override {
    return ShellExecuteW(parent, L"open", Wide(file).c_str(), nullptr, nullptr, showCommand);
  }
};

}  // namespace

std::string DialogAnswer(std::wstring_view buffer) {
  const std::size_t end = buffer.find(std::wstring_view(L"\0\0", 2));
  return Utf8(buffer.substr(0, end));
}

int ShortLineBoxes::Show(const std::string& caption, const std::string& text, UINT flags) {
  return boxes_.Show(caption, ShortenedInMiddle(text), flags);
}

int ShortLineBoxes::ShowWithCheck(const std::string& caption, const std::string& text, UINT flags,
                                  const std::string& check, bool& checked) {
  return boxes_.ShowWithCheck(caption, ShortenedInMiddle(text), flags, check, checked);
}

Services SystemServices() {
  static SystemMessageBoxes messageBoxes;
  static SystemFileDialogs fileDialogs;
  static SystemProgramStarter programs;
  return Services{messageBoxes, fileDialogs, programs};
}

}  // namespace varnex
