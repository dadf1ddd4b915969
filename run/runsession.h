#pragma once
// What runs and undos work with for the length of the program: the activity
// log and its file, and the undo store in the folder the program keeps it in.
// The main window asks it to run or to undo; how is told here. Every file call
// of both goes through the file system it is given.

#include <exception>
#include <string>
#include <vector>

#include "run/activitylog.h"
#include "run/batchrun.h"
#include "run/logfile.h"
#include "run/preview.h"
#include "run/undostore.h"

namespace varnex {

class RunSession {
 public:
  explicit RunSession(const std::string& programDirectory, FileSystem& files = SystemFileSystem());

  // Where the undo store may live: beside the program, else in the user's
  // local application data.
  static std::vector<std::string> UndoFolders(const std::string& programDirectory);

  // The log's first line as the program starts, its last as it ends.
  void Start() { activityLog_.Open(); }
  void End() { activityLog_.Close(); }

  // Every file of `files` in turn, each original kept for Undo Last Run. The
  // log is held open for the run unless the list holds the log itself, which
  // the run reads in its turn. The files that could not be done are logged
  // after the run's other lines.
  RunCounts Run(const std::vector<std::string>& files, BatchRunHost& host, BatchLimits limits = BatchLimits());
  // What Run would do to the files, with nothing written (see PreviewBatch).
  RunCounts Preview(const std::vector<std::string>& files, PreviewHost& host) {
    return PreviewBatch(files, files_, host);
  }

  // Whether a run is there to undo, this copy's or another's.
  bool CanUndo() const { return undoStore_.Any(); }
  // The run Undo Last Run would take back (see UndoStore::HoldRunToUndo).
  UndoStore::Choice HoldRunToUndo() { return undoStore_.HoldRunToUndo(); }
  void ReleaseWithoutRestoring(UndoStore::Choice& choice) { undoStore_.ReleaseWithoutRestoring(choice); }
  struct Undone {
    UndoStore::Outcome outcome;
    // The first log line that could not be written, for the caller to raise
    // once the user has been told what was restored.
    std::exception_ptr logFailure;
  };
  // Takes the chosen run back, with a line in the log for every file restored.
  Undone Undo(UndoStore::Choice& choice, UndoHost& host);

  const std::string& LogPath() const { return logFile_.Path(); }
  const ActivityLog& Log() const { return activityLog_; }

 private:
  FileSystem& files_;
  LogFile logFile_;
  ActivityLog activityLog_;
  UndoStore undoStore_;
};

}  // namespace varnex
