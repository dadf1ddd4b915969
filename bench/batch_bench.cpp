// Runs the real batch run of the main window over every file below a folder,
// as a user would after adding them: the window on the screen (unless
// --hidden), the question answered Yes, the results dialog closed as soon as
// it shows. Prints how long the run took, from the answer to the results;
// with --undo, then Undo Last Run of that run as the user waits for it, from
// the answer to its question to the message that ends it.
// The program's folder, where its undo store goes, is a new one under the
// temporary folder or with --program one of the caller's; --no-undo blocks the
// store's folders, so the run goes on without one as it does where they cannot
// be written.
// Usage: batch_bench [--hidden] [--no-undo] [--undo] [--program FOLDER] FOLDER FIND REPLACE

#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/benchprogram.h"
#include "bench/filesbelow.h"
#include "forms/results.h"

namespace {

using varnex::bench::AddFilesBelow;

std::string searched, replaced;
std::chrono::steady_clock::time_point finished;

// Notes when the run's results came up, reads the two numbers and closes the
// dialog. (The time to take a window off a display without a window manager
// is Wine's, not the run's.)
void CALLBACK CloseResults(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA(nullptr, "Results...");
  if (dialog == nullptr || !IsWindowVisible(dialog) || !searched.empty()) return;
  finished = std::chrono::steady_clock::now();
  char text[32];
  GetWindowTextA(GetDlgItem(dialog, varnex::TRF::kLabel3), text, sizeof text);
  searched = text;
  GetWindowTextA(GetDlgItem(dialog, varnex::TRF::kLabel4), text, sizeof text);
  replaced = text;
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

}  // namespace

// A file where a folder would have to be made.
class InTheWay {
 public:
  explicit InTheWay(std::string path) : path_(std::move(path)) {
    CreateDirectoryA(path_.substr(0, path_.rfind('\\')).c_str(), nullptr);
    RemoveDirectoryA(path_.c_str());
    CloseHandle(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  ~InTheWay() { DeleteFileA(path_.c_str()); }
  InTheWay(const InTheWay&) = delete;
  InTheWay& operator=(const InTheWay&) = delete;

 private:
  std::string path_;
};

int main(int argc, char** argv) {
  bool hidden = false, noUndo = false, undo = false;
  std::string programFolder;
  for (; argc > 4; --argc, ++argv) {
    const std::string option = argv[1];
    if (option == "--hidden") {
      hidden = true;
    } else if (option == "--no-undo") {
      noUndo = true;
    } else if (option == "--undo") {
      undo = true;
    } else if (option == "--program" && argc > 5) {
      programFolder = argv[2];
      --argc;
      ++argv;
    } else {
      break;
    }
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: batch_bench [--hidden] [--no-undo] [--undo] [--program FOLDER] FOLDER FIND REPLACE\n");
    return 2;
  }
  std::vector<std::string> files;
  AddFilesBelow(argv[1], files);

  varnex::BenchProgram program(programFolder);
  std::vector<std::unique_ptr<InTheWay>> blocked;
  if (noUndo) {
    for (const std::string& folder : varnex::RunSession::UndoFolders(program.Directory())) {
      blocked.push_back(std::make_unique<InTheWay>(folder));
    }
  }
  varnex::TMF& form = program.Main();
  for (const std::string& file : files) form.Files().Append(file);
  // As a user meets it: the window on the screen with its list filled.
  if (hidden) {
    form.FormShow();
  } else {
    form.Show();
  }
  SetWindowTextA(form.Control(varnex::TMF::kEdit2), argv[2]);
  SetWindowTextA(form.Control(varnex::TMF::kEdit3), argv[3]);
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, CloseResults);

  const auto start = std::chrono::steady_clock::now();
  form.ButtonClick();
  const double seconds = std::chrono::duration<double>(finished - start).count();
  KillTimer(nullptr, timer);
  const std::size_t messages = program.services.messageBoxes.shown.size() - 1;

  // The most memory the process held at once: what a big file costs.
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf("%.3f seconds: %s files searched, %s replaced, %zu messages, peak %.0f MiB\n", seconds,
              searched.c_str(), replaced.c_str(), messages,
              static_cast<double>(memory.PeakWorkingSetSize) / (1024 * 1024));
  if (undo) {
    // The question is answered the moment it is shown; the undo ends with
    // the message that says what it restored.
    std::chrono::steady_clock::time_point answered, told;
    std::string outcome;
    varnex::testing::FakeMessageBoxes& boxes = program.services.messageBoxes;
    boxes.answers.push_back(IDYES);
    boxes.onShow = [&](const varnex::testing::ShownBox& box) {
      (box.flags & MB_YESNO ? answered : told) = std::chrono::steady_clock::now();
      if (!(box.flags & MB_YESNO)) outcome = box.text.substr(0, box.text.find('\r'));
    };
    form.UndoLastRun1Click();
    std::printf("undo %.3f seconds: %s\n", std::chrono::duration<double>(told - answered).count(), outcome.c_str());
  }
  return 0;
}
