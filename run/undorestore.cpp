// Undo Last Run's restore: every file still as the run left it gets its
// original back, and the journal is told of each file the undo is done with.

#include <algorithm>
#include <string_view>

#include "engine/contenthash.h"
#include "engine/error.h"
#include "engine/stronghash.h"
#include "framework/safereplace.h"
#include "framework/wholefile.h"
#include "run/targetfile.h"
#include "run/undofiles.h"
#include "run/undostore.h"

namespace varnex {
namespace {

enum class Kept { kWhole, kUnreadable, kDamaged };

// `length` bytes of the pack from `offset`. A stretch past the pack's end was
// never written whole (or the journal lies): no memory is asked for it.
Kept ReadPacked(FileSystem& files, HANDLE pack, std::uint64_t offset, std::uint64_t length, std::string& bytes) {
  LARGE_INTEGER size;
  if (!files.Size(pack, size)) return Kept::kUnreadable;
  if (offset > static_cast<std::uint64_t>(size.QuadPart) || length > size.QuadPart - offset) return Kept::kDamaged;
  bytes.resize(static_cast<std::size_t>(length));
  for (std::size_t done = 0; done < bytes.size();) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
    DWORD read = 0;
    if (!files.ReadAt(pack, offset + done, bytes.data() + done, piece, read)) return Kept::kUnreadable;
    if (read == 0) return Kept::kDamaged;
    done += read;
  }
  return Kept::kWhole;
}

// The whole file and its stamp, read with other writers locked out.
bool ReadWithStamp(FileSystem& files, const std::string& path, std::string& bytes, FileStamp& stamp) {
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  return file && files.Stamp(file.Get(), stamp) && ReadWholeFile(files, file.Get(), bytes);
}

// The earlier bytes of `entry`, whole and as they were kept (their hash where
// the journal has one); damaged where the store no longer holds them so.
Kept ReadOriginal(FileSystem& files, const std::string& folder, HANDLE pack, const UndoEntry& entry,
                  std::string& original) {
  if (!entry.linked) {
    const Kept packed = ReadPacked(files, pack, entry.offset, entry.length, original);
    if (packed != Kept::kWhole) return packed;
  } else {
    FileStamp stamp;
    const std::string copy = InStore(folder, LinkedCopyName(entry.number));
    if (!ReadWithStamp(files, copy, original, stamp)) {
      return GetLastError() == ERROR_FILE_NOT_FOUND ? Kept::kDamaged : Kept::kUnreadable;
    }
    if (original.size() != entry.length) return Kept::kDamaged;
  }
  return entry.originalHash.empty() || StrongHashHex(original) == entry.originalHash ? Kept::kWhole : Kept::kDamaged;
}

// Whether the file at `entry.path` holds its earlier bytes already: an undo
// that ended between giving it back and saying so in the journal leaves it so.
bool HoldsOriginal(FileSystem& files, const std::string& folder, HANDLE pack, const UndoEntry& entry) {
  FileStamp stamp;
  std::string now;
  std::string original;
  return files.PathStamp(entry.path, stamp) && stamp.size == entry.length &&
         ReadWithStamp(files, entry.path, now, stamp) &&
         ReadOriginal(files, folder, pack, entry, original) == Kept::kWhole && now == original;
}

// Why the file at `path` cannot be reached or written now, `error` being what
// the attempt was told.
NotRestored ReasonNotRestored(FileSystem& files, const std::string& path, DWORD error) {
  const DWORD attributes = files.Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return GetLastError() == ERROR_PATH_NOT_FOUND ? NotRestored::kFolderMissing : NotRestored::kCannotWrite;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return NotRestored::kFolderInPlace;
  if (attributes & FILE_ATTRIBUTE_READONLY) return NotRestored::kReadOnly;
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return NotRestored::kHeldOpen;
  return NotRestored::kCannotWrite;
}

// What a write of the file at `path` would be told now.
DWORD WriteRefusal(FileSystem& files, const std::string& path) {
  const FileHandle file = files.Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  return file ? ERROR_SUCCESS : GetLastError();
}

enum class StateSinceRun { kAsLeft, kOther, kOutOfReach };

// The file at `entry.path` as it is now: still what the run left, read into
// `stamp`; something else; or out of reach, `error` saying why.
StateSinceRun StateSinceRunOf(FileSystem& files, const UndoEntry& entry, FileStamp& stamp, DWORD& error) {
  const FileHandle file =
      files.Open(entry.path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  if (!file) {
    error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? StateSinceRun::kOther : StateSinceRun::kOutOfReach;
  }
  // The time is known only where the run lived to write it down.
  if (!files.Stamp(file.Get(), stamp) || stamp.size != entry.size ||
      (entry.lastWrite && *entry.lastWrite != stamp.lastWrite)) {
    return StateSinceRun::kOther;
  }
  std::string bytes;
  if (!ReadWholeFile(files, file.Get(), bytes)) {
    error = GetLastError();
    return StateSinceRun::kOutOfReach;
  }
  return ContentHash(bytes) == entry.hash ? StateSinceRun::kAsLeft : StateSinceRun::kOther;
}

}  // namespace

UndoStore::Outcome UndoStore::Restore(Choice& choice, UndoHost& host) {
  HeldStore& store = *choice.store;
  const std::string packPath = InStore(store.folder, kPackName);
  if (!store.pack) throw Error::Format(kCannotOpenFile, packPath);
  const HANDLE pack = store.pack.Get();
  Outcome outcome;
  const std::vector<UndoEntry>& entries = choice.journal.entries;
  // The user said yes: one run deep, the runs before one that wrote a file go.
  if (AnyWritten(choice.journal)) RemoveEarlierStores(store.folder);
  // A run or an undo ended by force may have left a new file of its own
  // beside one it was writing; the journal named each before it was made.
  for (const std::string& temporary : choice.journal.temporaries) RemoveLeftoverTemporary(files_, temporary);
  const TemporaryRecord recordTemporary = [&](const std::string& path, bool ours) {
    AppendJournalLine(files_, store, JournalTemporary(path, ours));
  };
  for (std::size_t index = 0; index < entries.size(); ++index) {
    if (index > 0) host.ProcessPendingEvents();
    if (host.StopRequested()) {
      outcome.notReached = static_cast<int>(entries.size() - index);
      break;
    }
    const UndoEntry& entry = entries[index];
    FileStamp stamp;
    DWORD error = ERROR_SUCCESS;
    const StateSinceRun now = StateSinceRunOf(files_, entry, stamp, error);
    bool done = now == StateSinceRun::kOther;
    bool rewritten = false;
    // Without the line that says it was written, the run ended before it
    // wrote this file: nothing to give back. A write in place that was begun
    // and never seen through may have left any mix of the two texts: the
    // original goes back whatever the file holds.
    const bool written = RunWroteFile(entry);
    const bool givenBack = done && written && HoldsOriginal(files_, store.folder, pack, entry);
    const bool torn = done && !givenBack && entry.inPlaceBegun && error != ERROR_FILE_NOT_FOUND;
    if (done && written && !givenBack && !torn) outcome.leftAlone.push_back(entry.path);
    if (now == StateSinceRun::kOutOfReach) outcome.kept.emplace_back(entry.path, ReasonNotRestored(files_, entry.path, error));
    if (now == StateSinceRun::kAsLeft || torn) {
      // Whatever goes wrong with one file (memory for its original
      // included) leaves it to another try and the undo goes on.
      try {
        std::string original;
        const Kept kept = ReadOriginal(files_, store.folder, pack, entry, original);
        if (kept == Kept::kDamaged) {
          // No other try would find it whole: the file stays as the run left it.
          outcome.damaged.push_back(entry.path);
          done = true;
        } else {
          if (kept == Kept::kUnreadable) throw Error::Format(kCannotOpenFile, packPath);
          // An undo cut off in the middle of its own write in place is
          // seen through by the next.
          const InPlaceRecord recordInPlace = [&](const std::string&) {
            return AppendJournalLine(files_, store, JournalInPlace(entry.number)) && files_.Flush(store.journal.Get());
          };
          RewriteTargetFile(entry.path, stamp, original, files_, false, recordTemporary, 0, recordInPlace);
          done = rewritten = true;
        }
      } catch (const std::exception&) {
        done = false;
        outcome.kept.emplace_back(entry.path, ReasonNotRestored(files_, entry.path, WriteRefusal(files_, entry.path)));
      }
    }
    // A line that cannot be added leaves the file to another try, which
    // finds it given back.
    if (done) AppendJournalLine(files_, store, JournalDone(entry.number));
    if (rewritten || givenBack) {
      outcome.restored.push_back(entry.path);
      host.Restored(entry.path);
    }
    host.FileDone(static_cast<int>(index) + 1);
  }
  if (outcome.kept.empty() && outcome.notReached == 0) {
    RemoveStore(std::move(store));
    choice.store.reset();
  } else {
    ReleaseWithoutRestoring(choice);
  }
  return outcome;
}

}  // namespace varnex
