#pragma once
// The undo store: the earlier bytes of every file the last run changed, kept
// across starts with a journal of what the run left, so the whole run can be
// taken back by Undo Last Run. The bytes go one after another into a single
// pack file, held open through the run: a file per original would cost a
// create each, and some platforms look through the whole folder for every new
// name. A big file's original instead keeps a second name in the store where
// the volume allows, so its bytes need not move. It holds one run: the next
// run that changes a file starts it afresh.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/filesystem.h"
#include "framework/handle.h"
#include "run/undojournal.h"

namespace varnex {

inline constexpr std::string_view kUndoUnavailable =
    "Varnex cannot keep the earlier text of the files this run changes (in %s). "
    "What it changes from now on cannot be undone with Undo Last Run";

class UndoStore {
 public:
  // `folders`: where the store may be kept, the preferred first; the next is
  // taken where one cannot be written.
  explicit UndoStore(std::vector<std::string> folders, FileSystem& files = SystemFileSystem());

  // The folder of the store kept now, if there is one.
  std::optional<std::string> Existing() const;
  // Its journal; raises Error(kDamagedJournal) for one in no shape to follow.
  UndoJournal Load(const std::string& folder) const;

  struct Outcome {
    std::vector<std::string> restored;
    // Changed or removed since the run: left as they are.
    std::vector<std::string> leftAlone;
  };
  // Gives every file that is still as the run left it its earlier bytes back,
  // through the same safe rewrite as a run, and tells `onRestored` of each.
  Outcome Restore(const std::string& folder, const UndoJournal& journal,
                  const std::function<void(const std::string&)>& onRestored);
  // Removes the store in `folder`, the journal first.
  void Remove(const std::string& folder);

  const std::vector<std::string>& Folders() const { return folders_; }
  FileSystem& Files() const { return files_; }

 private:
  std::vector<std::string> folders_;
  FileSystem& files_;
};

// One run's recording into the store. Nothing is done until the run is about
// to change its first file; then the previous run's store gives way.
class UndoRecording {
 public:
  using Report = std::function<void(const std::string& message)>;
  using Clock = std::function<std::string()>;

  // `report` is told once, at the first thing that cannot be kept; from then
  // on nothing more is recorded. `runTime` names the run in the journal.
  UndoRecording(UndoStore& store, Clock runTime, Report report);

  // Before the file at `path` gets `newBytes` in place of `original`.
  void Keep(const std::string& path, std::string_view original, std::string_view newBytes);
  // True where a file of `size` bytes is best kept from the file itself, so
  // the run need not hold its original bytes: a big file keeps them by a
  // second name in the store.
  static bool TakesFromFile(std::uint64_t size);
  // The same as Keep for a file whose original is still at `path`, as `read`
  // stamps it. Raises Error(kCannotOpenFile) where it no longer is: the file
  // is then not to be written.
  void KeepFromFile(const std::string& path, const FileStamp& read, std::string_view newBytes);
  // After that file was written.
  void Written(const std::string& path);

 private:
  // Records the file at `path`, whose original of `length` bytes `pack`
  // appends to the pack file where it cannot keep a second name.
  void Record(const std::string& path, std::uint64_t length, std::string_view newBytes,
              const std::function<bool()>& pack);
  bool PackFromFile(const std::string& path, const FileStamp& read);
  bool Start();
  void Fail();

  UndoStore& store_;
  Clock runTime_;
  Report report_;
  std::string folder_;
  FileHandle journal_;
  FileHandle pack_;
  std::uint64_t packed_ = 0;
  int entries_ = 0;
  bool kept_ = false;  // the file in hand is in the journal
  bool failed_ = false;
};

}  // namespace varnex
