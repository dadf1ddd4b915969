#pragma once
// The undo store: the earlier bytes of every file the last run changed, kept
// across starts with a journal of what the run left, so the whole run can be
// taken back by Undo Last Run. It holds one run: the next run that changes a
// file starts it afresh.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/filesystem.h"
#include "framework/handle.h"
#include "run/safereplace.h"
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
  // The entries whose earlier bytes the store holds.
  int KeptCount(const std::string& folder, const UndoJournal& journal) const;

  struct Outcome {
    std::vector<std::string> restored;
    // Changed or removed since the run, or never kept: left as they are.
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

  // Before `path` gets `newBytes`: the journal names it, and `keeping` says
  // where its original is to go (nowhere once the store has failed).
  void Prepare(const std::string& path, std::string_view newBytes, OriginalKeeping& keeping);
  // After the file at `path` was written, its original kept as `keeping` says.
  void Written(const std::string& path, const OriginalKeeping& keeping);

 private:
  bool Start();
  bool Append(const std::string& line);
  void Fail(std::string_view where);

  UndoStore& store_;
  Clock runTime_;
  Report report_;
  std::string folder_;
  FileHandle journal_;
  int entries_ = 0;
  bool failed_ = false;
};

}  // namespace varnex
