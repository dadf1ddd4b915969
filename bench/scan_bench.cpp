// Scans a folder tree for a mask with subfolders and appends every match to
// the main window's file list, as the Add Directory dialog does, with the
// window on the screen, its messages let through at the scan's points and the
// list's drawing held back while it fills.
// Prints the time of the whole scan and the part spent in appending.
// Usage: scan_bench FOLDER MASK

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "filelist/FileFind.h"
#include "filelist/listfill.h"
#include "bench/benchprogram.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: scan_bench FOLDER MASK\n");
    return 2;
  }
  varnex::BenchProgram program;
  varnex::Application& app = program.app;
  varnex::TMF& form = program.Main();
  form.Show();

  using Clock = std::chrono::steady_clock;
  Clock::duration appending{};
  std::optional<varnex::ListFill> fill;
  varnex::TFileSearch search([&app] { app.ProcessPendingMessages(); });
  search.SearchFile = std::string(argv[1]) + "\\" + argv[2];
  search.OnFileFind = [&](const std::string& fullpath, const varnex::TSearchRec& info) {
    const auto start = Clock::now();
    varnex::FileList& files = form.Files();
    if (files.Entry(0) == varnex::kNoFilesAdded) files.Clear();
    fill->Adding();
    files.Append(fullpath + std::string(info.Name()));
    EnableWindow(form.Control(varnex::TMF::kSpeedButton2), TRUE);
    EnableWindow(form.Control(varnex::TMF::kButton), TRUE);
    files.MakeCurrent(0);
    appending += Clock::now() - start;
  };

  const auto start = Clock::now();
  fill.emplace(form.Files().Handle(), app.Clock());
  search.Execute();
  fill.reset();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

  std::printf("%.3f seconds: %zu matches, %d entries, %.3f seconds appending\n", seconds, search.FilesFound().size(),
              form.Files().Count(), std::chrono::duration<double>(appending).count());
  return 0;
}
