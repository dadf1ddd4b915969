// What each step of the batch run costs per file: the run's own calls, one
// after the other, over every file below a folder, without a window, each
// timed on its own. Tells where a run's time goes before anything is made
// faster; its total is about the hidden run's.
// Usage: step_bench FOLDER FIND REPLACE

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bench/filesbelow.h"
#include "engine/textlines.h"
#include "framework/safereplace.h"
#include "framework/wholefile.h"
#include "run/activitylog.h"
#include "run/filetext.h"
#include "run/logfile.h"
#include "run/replacer.h"
#include "run/targetfile.h"

namespace {

using varnex::bench::AddFilesBelow;

using Clock = std::chrono::steady_clock;

struct Step {
  const char* name;
  Clock::duration spent{};
  int count = 0;
};

// Times one call into `step`.
template <class Call>
auto Timed(Step& step, Call&& call) {
  const auto start = Clock::now();
  struct Account {
    Step& step;
    Clock::time_point start;
    ~Account() {
      step.spent += Clock::now() - start;
      ++step.count;
    }
  } account{step, start};
  return call();
}

std::string TimeStamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", now.wDay, now.wMonth, now.wYear, now.wHour,
                now.wMinute, now.wSecond);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: step_bench FOLDER FIND REPLACE\n");
    return 2;
  }
  std::vector<std::string> files;
  AddFilesBelow(argv[1], files);
  const std::string findText = argv[2], replaceText = argv[3];

  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  const std::string logPath = std::string(temporary) + "varnex-step-bench.log";
  DeleteFileA(logPath.c_str());
  varnex::LogFile logFile(logPath);
  varnex::ActivityLog log(logFile, TimeStamp);
  log.Open();

  Step identity{"full path"}, read{"open+read+check"}, model{"line model"}, replace{"replace"},
      back{"line model back"}, open{"open for write+stamp"}, create{"temporary file+write"}, flush{"flush"},
      place{"replace call"}, message{"messages"};
  Step logAppend{"log line"};
  int changed = 0;
  varnex::Replacer replacer(varnex::MakeLiteralMatcher(), [] { return false; }, [] {});
  const auto start = Clock::now();
  for (const std::string& path : files) {
    Timed(identity, [&] {
      std::string full(MAX_PATH, '\0');
      full.resize(GetFullPathNameA(path.c_str(), MAX_PATH, full.data(), nullptr));
      CharUpperBuffA(full.data(), static_cast<DWORD>(full.size()));
      return full;
    });
    Timed(message, [] {
      MSG waiting;
      return PeekMessageA(&waiting, nullptr, 0, 0, PM_REMOVE);
    });
    varnex::TargetFile file = Timed(read, [&] { return varnex::ReadTargetFile(path); });
    const varnex::FileStamp stamp = file.stamp;
    const varnex::TextEncoding encoding = file.encoding;
    std::string text = Timed(model, [&] {
      return varnex::NormalizeLineEndsOwned(varnex::TakeFileText(std::move(file.bytes), encoding));
    });
    std::string result;
    const bool replaced = Timed(replace, [&] {
      std::string find, replaceWith;
      return varnex::ToFileText(findText, encoding, find) && varnex::ToFileText(replaceText, encoding, replaceWith) &&
             replacer.ReplaceStrOwned(std::move(text), {find, replaceWith}, result);
    });
    if (!replaced) continue;
    Timed(logAppend, [&] {
      log.RecordReplacement(findText, path, replaceText);
      return true;
    });
    ++changed;

    const std::string written = Timed(back, [&] {
      // As the run: the lines looked over again only where the texts hold a line break.
      const bool breaks = (findText + replaceText).find_first_of("\r\n") != std::string::npos;
      return varnex::GiveFileText(breaks ? varnex::NormalizeLineEndsOwned(std::move(result)) : std::move(result),
                                  encoding);
    });
    varnex::FileHandle target = Timed(open, [&] {
      varnex::FileHandle handle(CreateFileA(path.c_str(), GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
      varnex::FileStamp now;
      varnex::SystemFileSystem().Stamp(handle.Get(), now);
      return handle;
    });
    std::string temporaryFile;
    varnex::FileSystem& system = varnex::SystemFileSystem();
    varnex::FileHandle out = Timed(create, [&] {
      varnex::FileHandle created = varnex::CreateFileBeside(system, path, temporaryFile);
      varnex::WriteWholeBuffer(created.Get(), written);
      return created;
    });
    // As the run: the new file on the disk before it takes the original's place.
    varnex::FileStamp made;
    Timed(flush, [&] { return system.Flush(out.Get()) && system.Stamp(out.Get(), made); });
    if (system.ReplaceKeepsMore()) out.Reset();
    target.Reset();
    Timed(place, [&] {
      return system.ReplaceKeepsMore() ? varnex::PutInPlace(system, path, temporaryFile, made)
                                       : varnex::RenameInPlace(system, path, temporaryFile, made);
    });
    out.Reset();
    (void)stamp;
  }
  const double total = std::chrono::duration<double>(Clock::now() - start).count();

  std::printf("%.3f seconds: %zu files, %d changed\n", total, files.size(), changed);
  for (const Step* step :
       {&identity, &message, &read, &model, &replace, &logAppend, &back, &open, &create, &flush, &place}) {
    const double seconds = std::chrono::duration<double>(step->spent).count();
    std::printf("  %-24s %7.3f s  %6d calls  %7.1f us each\n", step->name, seconds, step->count,
                step->count ? seconds * 1e6 / step->count : 0.0);
  }
  DeleteFileA(logPath.c_str());
  return 0;
}
