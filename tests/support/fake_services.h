#pragma once
// Stand-ins for message boxes, file dialogs and starting programs: they record
// what the program asked for and answer as the test says.

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/services.h"
#include "framework/unicode.h"

namespace varnex::testing {

struct ShownBox {
  std::string caption;
  std::string text;
  UINT flags;
  std::string check = {};  // the check box's caption; empty for a plain box
};

struct FakeMessageBoxes final : MessageBoxes {
  std::vector<ShownBox> shown;
  std::deque<int> answers;  // IDOK once these run out
  std::deque<bool> checks;  // how boxes with a check box leave it; as it was once these run out
  // Called with each box as it is shown; may throw, as a failing system call would.
  std::function<void(const ShownBox&)> onShow;

  int Show(const std::string& caption, const std::string& text, UINT flags) override {
    shown.push_back({caption, text, flags});
    if (onShow) onShow(shown.back());
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  int ShowWithCheck(const std::string& caption, const std::string& text, UINT flags, const std::string& check,
                    bool& checked) override {
    if (!checks.empty()) checked = checks.front(), checks.pop_front();
    const int answer = Show(caption, text, flags);
    shown.back().check = check;
    return answer;
  }
};

// Each answer is what the user picked, in UTF-8, as the dialog writes it into
// the request's buffer (a path, or a folder and names, NUL-separated), or
// nothing for Cancel; without answers every dialog is cancelled.
struct FakeFileDialogs final : FileDialogs {
  std::deque<std::optional<std::string>> answers;
  std::vector<OPENFILENAMEW> requests;
  std::vector<std::string> openedOn;  // the file name each dialog started with

  bool Open(OPENFILENAMEW& request) override { return Answer(request); }
  bool Save(OPENFILENAMEW& request) override { return Answer(request); }

 private:
  bool Answer(OPENFILENAMEW& request) {
    requests.push_back(request);
    openedOn.push_back(Utf8(request.lpstrFile));
    if (answers.empty() || !answers.front()) {
      if (!answers.empty()) answers.pop_front();
      return false;
    }
    const std::wstring picked = Wide(*answers.front()) + std::wstring(2, L'\0');
    answers.pop_front();
    picked.copy(request.lpstrFile, std::min<std::size_t>(picked.size(), request.nMaxFile));
    return true;
  }
};

struct FakeProgramStarter final : ProgramStarter {
  std::vector<std::string> started;  // command lines and opened files, in order
  std::vector<UINT> showCommands;    // in step with `started`
  std::vector<HWND> parents;         // in step with `started`; none for Exec

  UINT Exec(const std::string& commandLine, UINT showCommand) override {
    Record(commandLine, showCommand, nullptr);
    return 33;
  }
  HINSTANCE ShellOpen(HWND parent, const std::string& file, INT showCommand) override {
    Record(file, static_cast<UINT>(showCommand), parent);
    return reinterpret_cast<HINSTANCE>(33);
  }

 private:
  void Record(const std::string& what, UINT showCommand, HWND parent) {
    started.push_back(what);
    showCommands.push_back(showCommand);
    parents.push_back(parent);
  }
};

struct FakeServices {
  FakeMessageBoxes messageBoxes;
  FakeFileDialogs fileDialogs;
  FakeProgramStarter programs;

  Services Get() { return Services{messageBoxes, fileDialogs, programs}; }
};

}  // namespace varnex::testing
