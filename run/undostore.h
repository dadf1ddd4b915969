#pragma once
// The undo store: the earlier bytes of every file a run changed, kept across
// starts with a journal of what the run left, so the whole run can be taken
// back by Undo Last Run. Each run keeps its own store, a folder of its own
// under the store's root, so copies of the program that share a folder never
// write into each other's. The bytes go one after another into a single pack
// file, held open through the run: a file per original would cost a create
// each, and Wine looks through the whole folder for every new name. A big
// file's original instead keeps a second name in the store where the volume
// allows, so its bytes need not move.
//
// A store is held through its journal, open without sharing writes, by the
// copy that made it for as long as that copy runs, and by whichever copy
// undoes it for as long as the undo takes: no copy reads, changes or removes
// a store another copy holds. Stores are ordered by a sequence number in
// their folders' names, one more than the highest there when each is made,
// never by the clock, which the user or another copy's time zone may set
// back. One run deep: once a run has written its first file, the earlier
// stores go, except those another copy still holds; they go once a later run
// writes, or once the user has said yes to taking back a later one.

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

inline constexpr std::string_view kStoreFileRefused =
    "%s belongs to the undo store of Varnex and was left as it is";

// One run's store, held by this copy.
struct HeldStore {
  std::string folder;
  FileHandle journal;  // open for reading and appending, writes shared with no one
  // Where the journal's last whole line ends: a line cut short (a full
  // disk) is cut back to here, so the next one starts on a line of its own.
  ULONGLONG journalEnd = 0;
  // The pack of originals, open with writes and removal shared with no one:
  // another copy's run cannot rewrite it.
  FileHandle pack{};
};

// Appends `line` to the held store's journal; false, with the journal as it
// was before, where it cannot be written whole.
bool AppendJournalLine(FileSystem& files, HeldStore& store, std::string_view line);

// Why a file of the run could not be given its earlier bytes now; its
// original stays in the store for another try.
enum class NotRestored { kReadOnly, kHeldOpen, kFolderMissing, kFolderInPlace, kCannotWrite };

// What Undo Last Run is told as it goes.
class UndoHost {
 public:
  // The file at `path` has its earlier bytes back.
  virtual void Restored(const std::string& path) = 0;
  // Between files, so the window stays live.
  virtual void ProcessPendingEvents() = 0;
  // `done` entries of the run are behind the undo.
  virtual void FileDone(int done) = 0;
  // True when the undo is to end after the file in hand; the rest stays in
  // the store.
  virtual bool StopRequested() = 0;

 protected:
  ~UndoHost() = default;
};

class UndoStore {
 public:
  // `roots`: where stores may be kept, the preferred first; the next is taken
  // where one cannot be written.
  explicit UndoStore(std::vector<std::string> roots, FileSystem& files = SystemFileSystem());

  // Whether any store is there, held by another copy or not.
  bool Any() const;

  // The run Undo Last Run takes back: the newest run that changed a file and
  // whose store is this copy's own or held by no one, held from now on.
  struct Choice {
    std::optional<HeldStore> store;
    UndoJournal journal;  // what is left of that run to take back
    bool own = false;  // this copy's last run
    // The time of a later run whose store another running copy holds.
    std::optional<std::string> laterRunElsewhere;
  };
  // Raises Error(kDamagedJournal) for a journal in no shape to follow.
  Choice HoldRunToUndo();
  // Nothing is removed before the user's answer: the held store is released
  // without being taken back (this copy's own stays held).
  void ReleaseWithoutRestoring(Choice& choice);

  struct Outcome {
    std::vector<std::string> restored;
    // Changed or removed since the run: left as they are.
    std::vector<std::string> leftAlone;
    // Not restored now, their originals kept.
    std::vector<std::pair<std::string, NotRestored>> kept;
    // Their kept earlier text is damaged (cut short, changed, or another
    // file's): left as the run left them, and given up.
    std::vector<std::string> damaged;
    int notReached = 0;  // entries an asked-for stop left in the store
  };
  // Gives every file that is still as the run left it its earlier bytes back,
  // through the same safe rewrite as a run, with each one's progress told to
  // `host`. Whatever is left to take back stays in the store; a store with
  // nothing left goes, and so do the earlier stores nobody holds, where the
  // run wrote a file.
  Outcome Restore(Choice& choice, UndoHost& host);

  const std::vector<std::string>& Roots() const { return roots_; }
  FileSystem& Files() const { return files_; }

 private:
  friend class UndoRecording;

  struct Found {
    std::string folder;
    std::string name;  // orders the stores by their making, the oldest first
  };
  // Every store in the roots, the oldest first.
  std::vector<Found> Stores() const;
  // The store in `folder`, held, its journal's bytes in `bytes`, a line cut
  // short at its end cut off.
  std::optional<HeldStore> Hold(const std::string& folder, std::string& bytes) const;
  // The journal's bytes, read without holding it.
  bool ReadUnheld(const std::string& folder, std::string& bytes) const;
  // What is left to take back of the store in `folder`, read without holding
  // it; nullopt where its journal cannot be read.
  std::optional<UndoJournal> Peek(const std::string& folder) const;
  // Removes a held store, its journal last: the journal is emptied first, so
  // a removal cut short leaves nothing to take back.
  void RemoveStore(HeldStore store);
  // The run of the store `taking` has written a file: every earlier store
  // goes that no other copy holds, this copy's own among them, and what is
  // left of a store that never got its journal.
  void RemoveEarlierStores(const std::string& taking);
  // A new store, held; nullopt where no root takes one.
  std::optional<HeldStore> MakeStore();
  // This copy's store of its last run, held until the next run takes over.
  void KeepAsLastRun(HeldStore store);

  std::vector<std::string> roots_;
  FileSystem& files_;
  // The store of this copy's last run, held until the next run takes over or
  // the run is taken back.
  std::optional<HeldStore> own_;
};

}  // namespace varnex
