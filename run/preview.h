#pragma once
// A preview of a batch run: the same files, read and searched with the same
// texts as the run would (run/filewalk.h, run/filetext.h), and nothing
// written: no file, no backup, no log line, no undo store. For each file that
// would change it tells how often and where first.

#include <cstddef>
#include <string>
#include <vector>

#include "framework/filesystem.h"
#include "run/filewalk.h"

namespace varnex {

struct PreviewRow {
  std::string path;
  std::size_t occurrences = 0;
  std::size_t line = 0;  // of the first occurrence, from 1
  // That line before and after the replacement, in UTF-8 whatever the file's
  // encoding, cut around the occurrence ("…" where it goes on) and with a
  // line break it spans shown as "¶".
  std::string before;
  std::string after;
  // Without "Keep line ends", lines that end with a lone CR or LF are
  // written with CR LF.
  bool lineEndsChange = false;
};

class PreviewHost : public FileWalkHost {
 public:
  // A file of the list would change as the row says; rows come in list order.
  virtual void WouldChange(PreviewRow row) = 0;

 protected:
  ~PreviewHost() = default;
};

// Previews a run of the files. Its counts are the run's: files searched, files
// that would be written, files that could not be done (each reported to the
// host with the reason the run would give).
RunCounts PreviewBatch(const std::vector<std::string>& files, FileSystem& fileSystem, PreviewHost& host);

}  // namespace varnex
