#pragma once
// The batch run: every file of the list in order, each read, its texts
// prepared, replaced, backed up and written; a file that cannot be done is
// reported and left as it was, and the run goes on with the next.

#include <string>
#include <vector>

#include "engine/error.h"
#include "run/activitylog.h"
#include "run/undorecording.h"

namespace varnex {

// The options panel's three boxes.
struct RunOptions {
  bool caseSensitive = false;
  bool backUp = false;
  bool dynamicVariables = false;
};

// What the run reads from the main window as it goes, and tells it. The texts
// are read for every file and the options where they are used (the case
// before every search), so a change the user makes during the run applies
// from then on.
class BatchRunHost {
 public:
  virtual std::string FindText() = 0;
  virtual std::string ReplaceText() = 0;
  virtual RunOptions Options() = 0;
  // The case option alone, asked before every search: a text with millions
  // of occurrences asks it millions of times, so it must not cost a look at
  // every box.
  virtual bool CaseSensitive() = 0;
  // Between files, so the window stays live whether files match or not.
  virtual void ProcessPendingEvents() = 0;
  // The run has moved on to entry `index` of its list.
  virtual void ShowCurrent(int index) = 0;
  // `done` entries of the list are behind the run.
  virtual void FileDone(int done) = 0;
  // True when the run is to end after the file in hand (asked after the
  // events between two files).
  virtual bool StopRequested() = 0;
  // A file could not be done and was left as it was; the failure's text
  // names it and says why.
  virtual void ReportFailure(const Error& failure) = 0;
  // Once, at the first original the undo store cannot keep.
  virtual void ReportUndoUnavailable(const std::string& message) = 0;

 protected:
  ~BatchRunHost() = default;
};

struct RunCounts {
  int searched = 0;  // files looked at, each once however often it is listed
  int written = 0;   // files changed and written
  int failed = 0;    // files reported as not done, left as they were
};

// A file's full path, letter case aside, as Windows compares paths: the same
// path however it is spelt. (The same file may still go by other paths: its
// short name, another drive letter, a link.)
std::string PathIdentity(const std::string& path);

// Runs the files in their order, every file call through `fileSystem`. A file listed again is passed over: the same
// full path, letter case aside, or another name of a file that an earlier
// entry names too (told by its volume and number once it is read). Replacing
// it twice would replace in the replacement. With `undo`, the original of
// every file changed is kept for Undo Last Run. Every file changed has its
// line in `log`. The first file of each folder clears the folder of new files
// that an interrupted run left there. An ANSI file that would have to take a
// replace text its code page cannot hold is reported and left as it was.
RunCounts RunBatch(const std::vector<std::string>& files, FileSystem& fileSystem, ActivityLog& log,
                   BatchRunHost& host, UndoRecording* undo = nullptr);

}  // namespace varnex
