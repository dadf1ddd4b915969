#include "run/runsession.h"

#include <shlobj.h>

#include <algorithm>
#include <optional>

#include "engine/leftout.h"
#include "framework/unicode.h"
#include "run/localclock.h"
#include "run/undorecording.h"

namespace varnex {
namespace {

// The undo's host with a log line for every file restored.
class LoggedUndo final : public UndoHost {
 public:
  LoggedUndo(UndoHost& host, ActivityLog& log, std::string runTime)
      : host_(host), log_(log), runTime_(std::move(runTime)) {}

  void Restored(const std::string& path) override {
    try {
      log_.RecordRestore(path, runTime_);
    } catch (const std::exception&) {
      if (!failure) failure = std::current_exception();
    }
    host_.Restored(path);
  }
  void ProcessPendingEvents() override { host_.ProcessPendingEvents(); }
  void FileDone(int done) override { host_.FileDone(done); }
  bool StopRequested() override { return host_.StopRequested(); }

  std::exception_ptr failure;

 private:
  UndoHost& host_;
  ActivityLog& log_;
  std::string runTime_;
};

}  // namespace

RunSession::RunSession(const std::string& programDirectory, FileSystem& files)
    : files_(files),
      logFile_(programDirectory + "\\varnex.log", files),
      activityLog_(logFile_, CurrentTimeStamp),
      undoStore_(UndoFolders(programDirectory), files) {}

std::vector<std::string> RunSession::UndoFolders(const std::string& programDirectory) {
  std::vector<std::string> folders{programDirectory + "\\undo"};
  wchar_t localData[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localData))) {
    folders.push_back(Utf8(localData) + "\\Varnex\\undo");
  }
  return folders;
}

RunCounts RunSession::Run(const std::vector<std::string>& files, BatchRunHost& host, BatchLimits limits) {
  // Told once: from then on the run goes on without keeping originals.
  UndoRecording undo(undoStore_, [runTime = CurrentTimeStamp()] { return runTime; },
                     [&host](const std::string& message) { host.ReportUndoUnavailable(message); });
  // (Listed by another name than its path, the log is refused as any file
  // another holds; telling that name would cost an open of every file.)
  const std::string log = PathIdentity(LogPath());
  std::optional<LogFile::Held> logOpen;
  if (std::none_of(files.begin(), files.end(), [&](const std::string& file) { return PathIdentity(file) == log; })) {
    logOpen.emplace(logFile_);
  }
  RunCounts counts = RunBatch(files, files_, activityLog_, host, &undo, limits, log);
  // Every file that could not be done has a line after the run's own, so the
  // log never leaves a file standing as replaced that was then not written.
  // Each was reported already: a log that cannot take them says no more.
  try {
    for (const FileFailure& failure : counts.failures) activityLog_.RecordFailure(WithReason(failure.error, " "));
    for (const std::string& path : counts.binary) activityLog_.RecordFailure(SkippedFileText(path));
  } catch (const std::exception&) {
  }
  return counts;
}

RunSession::Undone RunSession::Undo(UndoStore::Choice& choice, UndoHost& host) {
  LoggedUndo logged(host, activityLog_, choice.journal.runTime);
  Undone undone;
  undone.outcome = undoStore_.Restore(choice, logged);
  undone.logFailure = logged.failure;
  return undone;
}

}  // namespace varnex
