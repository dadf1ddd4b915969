#pragma once
// Stand-ins for message boxes, file dialogs and starting programs: they record
// what the program asked for and answer as the test says.

#include <deque>
#include <string>
#include <vector>

#include "shell/services.h"

namespace varnex::testing {

struct ShownBox {
  std::string caption;
  std::string text;
  UINT flags;
};

struct FakeMessageBoxes final : MessageBoxes {
  std::vector<ShownBox> shown;
  std::deque<int> answers;  // IDOK once these run out

  int Show(const std::string& caption, const std::string& text, UINT flags) override {
    shown.push_back({caption, text, flags});
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

struct FakeFileDialogs final : FileDialogs {
  bool Open(OPENFILENAMEA&) override { return false; }
  bool Save(OPENFILENAMEA&) override { return false; }
};

struct FakeProgramStarter final : ProgramStarter {
  std::vector<std::string> started;
  UINT Exec(const std::string& commandLine, UINT) override {
    started.push_back(commandLine);
    return 33;
  }
  HINSTANCE ShellOpen(HWND, const std::string& file) override {
    started.push_back(file);
    return reinterpret_cast<HINSTANCE>(33);
  }
};

struct FakeServices {
  FakeMessageBoxes messageBoxes;
  FakeFileDialogs fileDialogs;
  FakeProgramStarter programs;

  Services Get() { return Services{messageBoxes, fileDialogs, programs}; }
};

}  // namespace varnex::testing
