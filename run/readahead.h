#pragma once
// The files of a batch run read ahead of it on a thread of their own, so that
// opening and reading the next files overlaps the work on the file in hand
// (opening a file is most of a small file's cost under Wine). The run still
// takes its files one at a time, in its order, each as a read at that moment
// would give it: a read that failed ahead, or that the run's own writes may
// have overtaken, is done again when the file's turn comes; a file changed by
// another program after it was read is refused at the write, as one changed
// after a read in its turn. A file that an earlier entry names too (by its
// short name, another drive letter, a link) is read only in its turn: the run
// may write it meanwhile, and the thread's read would keep the run out.

#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "framework/filesystem.h"
#include "framework/slimlock.h"
#include "run/targetfile.h"

namespace varnex {

// How far the thread may run ahead: a few files, a few megabytes, and no file
// so large that holding it early would raise the run's peak memory.
struct ReadAheadLimits {
  std::size_t files = 16;
  std::size_t bytes = 8 << 20;
  ULONGLONG largestFile = 4 << 20;
};

class ReadAhead {
 public:
  using Limits = ReadAheadLimits;

  // Entries marked false in `ahead` (all are read ahead without it) are read
  // only in their turn: the thread's read of a file keeps others from writing
  // it for that moment.
  explicit ReadAhead(const std::vector<std::string>& paths, FileSystem& files = SystemFileSystem());
  ReadAhead(const std::vector<std::string>& paths, std::vector<bool> ahead, Limits limits = Limits(),
            FileSystem& files = SystemFileSystem());
  // Stops the thread; a read under way is finished first.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Entry `index` of the list, as ReadTargetFile would read it now, and with
  // its errors. Indexes only grow; entries passed over are dropped.
  TargetFile Take(std::size_t index);
  // The run has written files (a changed file, its backup, the log): files
  // read before now are looked at again before they are handed out.
  void RunWrote();
  // The run is about to write the file numbered `fileIndex` on its volume (a
  // FileStamp's index): waits until the thread is reading it under no other
  // name. One it opens from now on, it lets go of unread.
  void Writing(ULONGLONG fileIndex);

 private:
  enum class State { kAhead, kReading, kRead, kNotRead };
  struct Slot {
    State state = State::kAhead;
    TargetFile file;
    unsigned long long writes = 0;  // the run's writes when the read began
  };

  void Work();
  bool Admit(const FileStamp& stamp);
  // A slot the run has gone past: its file, read or not, is dropped.
  void DropPassedOver(Slot& slot);
  bool StillAsRead(const std::string& path, const FileStamp& read);

  const std::vector<std::string>& paths_;
  const std::vector<bool> ahead_;
  const Limits limits_;
  FileSystem& files_;
  SlimLock mutex_;
  SlimCondition changed_;
  std::vector<Slot> slots_;
  std::size_t next_ = 0;   // the next entry the thread reads
  std::size_t taken_ = 0;  // the entries before this one are the run's
  std::size_t bytesAhead_ = 0;
  unsigned long long writes_ = 0;
  std::unordered_set<ULONGLONG> had_;  // the numbers of the files read so far, ahead or in turn
  ULONGLONG reading_ = 0;              // the number of the file the thread reads, 0 between files
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace varnex
