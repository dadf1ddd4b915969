#pragma once
// The undo store's hash of a big file's original, taken from the file on a
// thread of its own while the run searches and replaces its text. Taken after
// the replace, as it once was, the 200 MB file's BLAKE2b was a third of its
// run; on a second core it costs the run next to nothing.

#include <atomic>
#include <string>
#include <thread>

#include "framework/filesystem.h"

namespace varnex {

class OriginalHash {
 public:
  // Starts on the file at `path`, as `read` stamps it.
  OriginalHash(FileSystem& files, std::string path, const FileStamp& read);
  // A hash no longer wanted (the text did not change, the run ended) is given
  // up at its next piece.
  ~OriginalHash();
  OriginalHash(const OriginalHash&) = delete;
  OriginalHash& operator=(const OriginalHash&) = delete;

  // Waits for it. Raises Error(kCannotOpenFile) where the file could not be
  // read through, or was not as read before and after: the file is then not
  // to be written.
  std::string Hex();

 private:
  void Take();

  FileSystem& files_;
  const std::string path_;
  const FileStamp read_;
  std::atomic<bool> wanted_{true};
  std::string hex_;  // empty until the whole file is hashed
  std::thread thread_;  // last: started once the rest is set
};

}  // namespace varnex
