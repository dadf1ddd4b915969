// Runs the Add Directory dialog's scan in-process: the real dialog over the
// main window, both on the screen, set to a folder and a mask with subfolders
// as a user would set them, and "Add" clicked. Prints how long the scan took,
// from the click to the list filled. EXCLUDE goes into "Exclude:", and
// --skip-binary ticks "Skip binary files".
// Usage: scan_bench FOLDER MASK [EXCLUDE [--skip-binary]]

#include <windows.h>

#include <chrono>
#include <cstdio>

#include "bench/benchprogram.h"
#include "forms/dir.h"
#include "framework/windowtext.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 5) {
    std::fprintf(stderr, "usage: scan_bench FOLDER MASK [EXCLUDE [--skip-binary]]\n");
    return 2;
  }
  varnex::BenchProgram program;
  varnex::TMF& form = program.Main();
  form.Show();

  varnex::TDF dialog(program.app, form.Settings(), form.Files(), [&form] { form.FollowListState(); });
  dialog.Create();
  dialog.FormShow();
  dialog.Folders().SetDirectory(argv[1]);
  varnex::SetText(dialog.Control(varnex::TDF::kEdit1), argv[2]);
  if (argc > 3) varnex::SetText(dialog.Control(varnex::TDF::kExcludeBox), argv[3]);
  if (argc > 4) SendMessageW(dialog.Control(varnex::TDF::kSkipBinary), BM_SETCHECK, BST_CHECKED, 0);
  ShowWindow(dialog.Handle(), SW_SHOW);
  UpdateWindow(dialog.Handle());

  const auto start = std::chrono::steady_clock::now();
  dialog.BitBtn1Click();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::printf("%.3f seconds: %zu matches, %d entries\n", seconds, dialog.FileSearch1().FilesFound().size(),
              form.Files().Count());
  return 0;
}
