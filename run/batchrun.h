#pragma once
// The batch run: every file of the list in order (see run/filewalk.h), each
// read, its texts prepared, replaced, backed up and written; a file that
// cannot be done is reported and left as it was, and the run goes on with the
// next.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "run/activitylog.h"
#include "run/filewalk.h"
#include "run/undorecording.h"

namespace varnex {

// A file the log could not take the line of: not written, as no change goes
// unlogged, and listed with this; the log's own failure is told once.
inline constexpr std::string_view kNotLogged = "%s was left as it was: its change could not be added to the log";

class BatchRunHost : public FileWalkHost {
 public:
  // Once, at the first original the undo store cannot keep.
  virtual void ReportUndoUnavailable(const std::string& message) = 0;

 protected:
  ~BatchRunHost() = default;
};

// How many changed files a run writes before one flush takes them all to the
// disk and they go in place, whichever limit comes first; the last batch goes
// at the end of the run, however it ends. A bigger batch saves flushes; a
// smaller one puts files in place sooner (a power cut loses no more than a
// batch's work: those files are as they were) and holds fewer new files open.
struct BatchLimits {
  std::size_t files = 128;
  std::uint64_t bytes = 32 << 20;
  ULONGLONG milliseconds = 1000;
};

// Runs the files in their order, every file call through `fileSystem`, each
// file once (see WalkFiles). With `undo`, the original of every file changed
// is kept for Undo Last Run. Every file changed has its line in `log`. An ANSI file that would have to take a replace
// text its code page cannot hold is reported and left as it was. Changed
// files go in place a batch at a time (see BatchLimits). `logIdentity`, the
// PathIdentity of the log's file, is not read ahead where it is listed.
RunCounts RunBatch(const std::vector<std::string>& files, FileSystem& fileSystem, ActivityLog& log,
                   BatchRunHost& host, UndoRecording* undo = nullptr, BatchLimits limits = BatchLimits(),
                   std::string_view logIdentity = {});

}  // namespace varnex
