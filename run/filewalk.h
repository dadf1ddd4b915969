#pragma once
// How a batch run, and a preview of one, go through the file list: every file
// in its order, each once however often and by whatever names it is listed,
// read (ahead of its turn where that is safe) and handed to what the walk
// does with it; a file that cannot be done is reported and left as it was,
// and the walk goes on with the next.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error.h"
#include "framework/filesystem.h"
#include "run/readahead.h"
#include "run/runoptions.h"
#include "run/targetfile.h"

namespace varnex {

// What a walk reads from the main window as it goes, and tells it. The texts
// are read for every file and the options where they are used (the case
// before every search), so a change the user makes meanwhile applies from
// then on.
class FileWalkHost {
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
  // The walk has moved on to entry `index` of its list.
  virtual void ShowCurrent(int index) = 0;
  // `done` entries of the list are behind the walk.
  virtual void FileDone(int done) = 0;
  // True when the walk is to end after the file in hand (asked after the
  // events between two files).
  virtual bool StopRequested() = 0;
  // A file could not be done and was left as it was; the failure's text
  // names it, and its reason line says why.
  virtual void ReportFailure(const Error& failure) = 0;

 protected:
  ~FileWalkHost() = default;
};

// A file that could not be done: "Cannot open file <path>" and its reason.
struct FileFailure {
  std::string path;
  Error error;
};

struct RunCounts {
  int searched = 0;  // files looked at, each once however often it is listed
  int written = 0;   // files changed and written (by a preview: that would be)
  int failed = 0;    // files reported as not done, left as they were
  std::vector<std::string> binary;    // binary files passed over, not searched, in list order
  std::vector<FileFailure> failures;  // the files that failed, in list order
};

// A file's full path, letter case aside, as Windows compares paths: the same
// path however it is spelt. (The same file may still go by other paths: its
// short name, another drive letter, a link.)
std::string PathIdentity(const std::string& path);

// The failure that stopped the file at `path`, as the user is told it:
// "Cannot open file <path>" with the reason the error carries. An error about
// something else (the log that could not be saved) becomes the reason itself.
Error FailureOfFile(const std::string& path, const std::exception& failure);

// A failure that is the file's own answer, reported as it is rather than as
// a file that could not be opened.
class Refused : public Error {
 public:
  using Error::Error;
};

// A file left as it was for a cause the run has told once in its own words
// (the log that cannot take lines): listed with the run's failures as it is,
// without being reported again.
class ToldElsewhere : public Refused {
 public:
  using Refused::Refused;
};

// What was done to one file: whether it changed, and the number of the new
// file on its volume where one was written (0 where none was).
struct FileOutcome {
  bool changed = false;
  ULONGLONG writtenIndex = 0;
};

// What a walk does: `process` with each file as read, given the walk's reading
// ahead to tell before it writes (see ReadAhead); raises an error on any
// failure. `settle`, where there is one, after
// every file and once more at the end (`last`, however the walk ended): where
// `process` leaves files to be finished later, it finishes those whose time
// has come (all of them when last), reports those it cannot, and gives them.
struct FileWalk {
  std::function<FileOutcome(const std::string& path, TargetFile file, ReadAhead& ahead)> process;
  // Where there is one, before a file is taken, with the file's PathIdentity:
  // raises Refused for a file the walk is not to touch.
  std::function<void(const std::string& path, std::string_view identity)> refuse = nullptr;
  std::function<std::vector<FileFailure>(bool last, ReadAhead& ahead)> settle = nullptr;
  // The PathIdentity of a file the walk appends to as it goes, whatever the
  // list says (the activity log), where there is one: read only in its turn.
  std::string_view appendedTo = {};
};

// Walks the files in their order, every file call through `fileSystem`. A
// binary file is counted and passed over, unreported. A file listed again is
// passed over: the same full path, or another name of a file that an earlier
// entry names too (told by its volume and number once it is read, as are
// spellings that differ in letter case alone), including the new file an earlier entry was
// written as. Doing it twice would replace in the replacement.
RunCounts WalkFiles(const std::vector<std::string>& files, FileSystem& fileSystem, FileWalkHost& host,
                    const FileWalk& walk);

}  // namespace varnex
