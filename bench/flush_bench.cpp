// The batch run over every file below a folder with no window (the run
// session and a small host, as the tests drive it), through a file system
// whose flushes cost what a user's disk makes them cost: a full flush
// (FlushFileBuffers, which on NTFS empties the drive's write cache) of FLUSH
// milliseconds, a write-out without emptying it of WRITEOUT milliseconds, as
// on Windows 8 and later. With --fallback no write-out can be had, as before
// Windows 8 and under Wine; with --batch N a batch holds at most N files (1:
// every file's original, journal line and new file flushed before the file
// goes in place, the protocol before batches). The costs are added to the
// system's own flushes; "off" for both skips the flushes altogether, the same
// run with flushes free. Prints the run's seconds and the
// flushes and write-outs it asked for. The program's folder (log, undo store)
// is PROGRAM.
// Usage: flush_bench [--fallback] [--batch N] FLUSH-MS|off WRITEOUT-MS|off PROGRAM FOLDER FIND REPLACE

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/filesbelow.h"
#include "run/runsession.h"
#include "tests/support/forwarding_filesystem.h"

namespace {

using Clock = std::chrono::steady_clock;

void Spend(double milliseconds) {
  const auto until = Clock::now() + std::chrono::duration<double, std::milli>(milliseconds);
  if (milliseconds >= 1) Sleep(static_cast<DWORD>(milliseconds));
  while (Clock::now() < until) {
  }
}

class CostedFlushes final : public varnex::testing::ForwardingFileSystem {
 public:
  // A negative cost: the call skipped.
  CostedFlushes(double flush, double writeOut, bool fallback)
      : flush_(flush), writeOut_(writeOut), fallback_(fallback) {}

  bool Flush(HANDLE file) override {
    ++flushes;
    if (flush_ < 0) return true;
    Spend(flush_);
    return ForwardingFileSystem::Flush(file);
  }
  // The system's own where it has one (not under Wine), else nothing more
  // than the cost.
  bool WriteOut(HANDLE file) override {
    if (fallback_) {
      SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
      return false;
    }
    ++writeOuts;
    if (writeOut_ < 0) return true;
    Spend(writeOut_);
    ForwardingFileSystem::WriteOut(file);
    return true;
  }

  int flushes = 0;
  int writeOuts = 0;

 private:
  double flush_, writeOut_;
  bool fallback_;
};

class QuietHost final : public varnex::BatchRunHost {
 public:
  QuietHost(std::string find, std::string replace) : find_(std::move(find)), replace_(std::move(replace)) {}
  std::string FindText() override { return find_; }
  std::string ReplaceText() override { return replace_; }
  varnex::RunOptions Options() override { return {}; }
  bool CaseSensitive() override { return false; }
  void ProcessPendingEvents() override {}
  void ShowCurrent(int) override {}
  void FileDone(int) override {}
  bool StopRequested() override { return false; }
  void ReportFailure(const varnex::Error&) override { ++failures; }
  void ReportUndoUnavailable(const std::string&) override { ++failures; }

  int failures = 0;

 private:
  std::string find_, replace_;
};

}  // namespace

int main(int argc, char** argv) {
  bool fallback = false;
  varnex::BatchLimits limits;
  for (; argc > 7; --argc, ++argv) {
    const std::string option = argv[1];
    if (option == "--fallback") {
      fallback = true;
    } else if (option == "--batch" && argc > 8) {
      limits.files = std::strtoul(argv[2], nullptr, 10);
      --argc;
      ++argv;
    } else {
      break;
    }
  }
  if (argc != 7) {
    std::fprintf(stderr, "usage: flush_bench [--fallback] [--batch N] FLUSH-MS WRITEOUT-MS PROGRAM FOLDER FIND REPLACE\n");
    return 2;
  }
  const auto cost = [](const std::string& text) { return text == "off" ? -1 : std::atof(text.c_str()); };
  CostedFlushes files(cost(argv[1]), cost(argv[2]), fallback);
  std::vector<std::string> paths;
  varnex::bench::AddFilesBelow(argv[4], paths);
  QuietHost host(argv[5], argv[6]);
  CreateDirectoryA(argv[3], nullptr);
  varnex::RunSession session(argv[3], files);
  session.Start();
  const auto start = Clock::now();
  const varnex::RunCounts counts = session.Run(paths, host, limits);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  session.End();
  std::printf("%.3f seconds: %d files searched, %d replaced, %d failures, %d full flushes, %d write-outs\n", seconds,
              counts.searched, counts.written, host.failures, files.flushes, files.writeOuts);
  return 0;
}
