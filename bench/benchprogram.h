#pragma once
// The program as the benchmarks start it: fake services that answer every
// question with Yes, the application and its windows, in a program folder of
// its own (under the temporary folder unless one is given), removed at the
// end with the undo store, log and settings the run left there.

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

#include "forms/startup.h"
#include "tests/support/fake_services.h"

namespace varnex {

class BenchProgram {
 public:
  explicit BenchProgram(std::string directory = {}) : directory_(std::move(directory)) {
    if (directory_.empty()) {
      char temporary[MAX_PATH];
      GetTempPathA(MAX_PATH, temporary);
      directory_ = std::string(temporary) + "varnex-bench-" + std::to_string(GetCurrentProcessId());
    }
    CreateDirectoryA(directory_.c_str(), nullptr);
    services.messageBoxes.answers.push_back(IDYES);
    PrepareApplication(app);
    windows_.emplace(app, directory_);
    windows_->Create();
  }
  ~BenchProgram() {
    windows_.reset();
    // The folder ends double-NUL-terminated, as the shell wants its lists.
    const std::string undo = Undo() + '\0';
    SHFILEOPSTRUCTA removal{};
    removal.wFunc = FO_DELETE;
    removal.pFrom = undo.c_str();
    removal.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&removal);
    for (const char* name : {"\\varnex.log", "\\settings.ini"}) DeleteFileA((directory_ + name).c_str());
    RemoveDirectoryA(directory_.c_str());
  }
  BenchProgram(const BenchProgram&) = delete;
  BenchProgram& operator=(const BenchProgram&) = delete;

  TMF& Main() { return windows_->main; }
  const std::string& Directory() const { return directory_; }
  std::string Undo() const { return directory_ + "\\undo"; }

  testing::FakeServices services;
  Application app{GetModuleHandleA(nullptr), services.Get()};

 private:
  std::string directory_;
  std::optional<ProgramWindows> windows_;
};

}  // namespace varnex
