#pragma once
// One run's recording into the undo store: the original of every file the run
// changes, kept before the file is written.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "framework/filesystem.h"
#include "framework/handle.h"
#include "run/originalhash.h"
#include "run/undostore.h"

namespace varnex {

// One run's recording into a store of its own. Nothing is done until the run
// is about to change its first file, and the earlier store gives way only
// once that file is written.
class UndoRecording {
 public:
  using Report = std::function<void(const std::string& message)>;
  using Clock = std::function<std::string()>;

  // `report` is told once, at the first thing that cannot be kept; from then
  // on nothing more is recorded. `runTime` names the run in the journal.
  UndoRecording(UndoStore& store, Clock runTime, Report report);
  // A run that wrote nothing leaves the earlier store as it was.
  ~UndoRecording();
  UndoRecording(const UndoRecording&) = delete;
  UndoRecording& operator=(const UndoRecording&) = delete;

  // Before the file at `path` gets `newBytes` in place of `original`. The
  // original and its journal line are on the disk once FlushKept returns.
  void Keep(const std::string& path, std::string_view original, std::string_view newBytes);
  // True where a file of `size` bytes is best kept from the file itself, so
  // the run need not hold its original bytes: a big file keeps them by a
  // second name in the store.
  static bool TakesFromFile(std::uint64_t size);
  // The same as Keep for a file whose original is still at `path`, as `read`
  // stamps it, hashed by `original`. Raises Error(kCannotOpenFile) where it no
  // longer is: the file is then not to be written.
  void KeepFromFile(const std::string& path, const FileStamp& read, std::string_view newBytes,
                    OriginalHash& original);
  // Takes every original kept since the last call, and its journal line, to
  // the disk: the pack written out without emptying the drive's cache (in
  // full where the system cannot), then the journal flushed in full, which
  // empties it. Gives the volume that flush covered, none where there is no
  // store to flush (or it failed, and was reported).
  std::optional<ULONGLONG> FlushKept();
  // Before that file is written over in place (see InPlaceRecord): the
  // journal says so, on the disk, so an undo gives back its original however
  // little of the write got done. False, GetLastError saying why, where that
  // cannot be said; the file is then not to be written.
  bool WritingInPlace(const std::string& path);
  // After that file was written (once what was kept of it was flushed).
  void Written(const std::string& path);
  // Before a new file of the run is made at `path` (`ours`), and after none
  // could be made there (see TemporaryRecord): a run ended by force leaves
  // behind only files the journal names, which the next run or an undo
  // removes.
  void RecordTemporary(const std::string& path, bool ours);
  // Raises Refused for the file at `path`, whose PathIdentity is `identity`,
  // inside an undo store: a run rewriting the store's pack or journal would
  // take back what it keeps.
  void RefuseStoreFile(const std::string& path, std::string_view identity) const;

 private:
  // Takes an original's hash and, unless it is `linked` into the store,
  // appends it to the pack; false where the store cannot take it.
  using Original = std::function<bool(bool linked, std::string& hash)>;
  // Records the file at `path`, whose original of `length` bytes `keep` keeps.
  void Record(const std::string& path, std::uint64_t length, std::string_view newBytes, const Original& keep);
  bool CopyToPack(const std::string& path, const FileStamp& read);
  bool Start();
  // The run has changed a file: its store is the last run's from now on.
  void TakeOver();
  void Fail();

  UndoStore& store_;
  // Each root's PathIdentity and a backslash: what a file in it starts with.
  std::vector<std::string> rootPrefixes_;
  Clock runTime_;
  Report report_;
  std::optional<HeldStore> held_;
  FileHandle pack_;
  std::uint64_t packed_ = 0;
  std::uint64_t flushedPack_ = 0;  // how much of the pack FlushKept has taken to the disk
  int entries_ = 0;
  // The files in the journal that are still to be written, by their paths as
  // the run names them, and their entries.
  std::unordered_map<std::string, int> unwritten_;
  bool wrote_ = false;
  bool failed_ = false;
};

}  // namespace varnex
