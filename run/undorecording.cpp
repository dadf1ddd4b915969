#include "run/undorecording.h"

#include "engine/contenthash.h"
#include "engine/error.h"
#include "engine/stronghash.h"
#include "framework/wholefile.h"
#include "run/filepieces.h"
#include "run/filewalk.h"
#include "run/undofiles.h"

namespace varnex {
namespace {

// A file this big keeps its original by a second name in the store where the
// volume allows: no bytes move. Smaller ones go into the pack; a name each
// would cost a create, and Wine looks through the whole folder for every new
// name.
constexpr std::size_t kLinkedAtLeast = 1 << 20;

// Whether the file at `path` goes by no other name than that: no other hard
// link, and no symbolic link on the way (CreateHardLinkW would link the link).
bool HasOneName(FileSystem& files, const std::string& path) {
  const FileHandle file = OpenForAttributes(files, path);
  DWORD links = 0;
  return file && files.Links(file.Get(), links) && links == 1 && !ReachedThroughLink(files, file.Get(), path);
}

// A path as the journal names it: as the run names it where it is in the
// "\\?\" form, in which a name may end in a dot or a space that
// GetFullPathNameW would strip.
std::string JournalPath(const std::string& path) { return path.starts_with("\\\\?\\") ? path : FullPathName(path); }

}  // namespace

UndoRecording::UndoRecording(UndoStore& store, Clock runTime, Report report)
    : store_(store), runTime_(std::move(runTime)), report_(std::move(report)) {
  for (const std::string& root : store_.Roots()) rootPrefixes_.push_back(PathIdentity(root) + "\\");
}

UndoRecording::~UndoRecording() {
  if (!held_) return;
  if (wrote_) {
    held_->pack = std::move(pack_);
    store_.KeepAsLastRun(std::move(*held_));
  } else {
    pack_.Reset();
    store_.RemoveStore(std::move(*held_));
  }
}

void UndoRecording::Keep(const std::string& path, std::string_view original, std::string_view newBytes) {
  Record(path, original.size(), newBytes, [&](bool linked, std::string& hash) {
    hash = StrongHashHex(original);
    return linked || WriteWholeBuffer(store_.Files(), pack_.Get(), original);
  });
}

bool UndoRecording::TakesFromFile(std::uint64_t size) { return size >= kLinkedAtLeast; }

void UndoRecording::KeepFromFile(const std::string& path, const FileStamp& read, std::string_view newBytes,
                                 OriginalHash& original) {
  Record(path, read.size, newBytes, [&](bool linked, std::string& hash) {
    hash = original.Hex();
    return linked || CopyToPack(path, read);
  });
}

void UndoRecording::Record(const std::string& path, std::uint64_t length, std::string_view newBytes,
                           const Original& keep) {
  unwritten_.erase(path);
  if (failed_ || (!held_ && !Start())) return;
  UndoEntry entry;
  entry.number = entries_ + 1;
  entry.path = JournalPath(path);
  entry.length = length;
  entry.size = newBytes.size();
  entry.hash = ContentHash(newBytes);
  FileSystem& files = store_.Files();
  // The bytes before the line that names them: a journal never points past
  // what the store holds. A file that has other names already is copied:
  // linked, the store's copy would take in what is saved through them.
  entry.linked = length >= kLinkedAtLeast && HasOneName(files, path) &&
                 files.Link(entry.path, InStore(held_->folder, LinkedCopyName(entry.number)));
  if (!entry.linked) entry.offset = packed_;
  if (!keep(entry.linked, entry.originalHash)) return Fail();
  if (!entry.linked) packed_ += length;
  // Both reach the disk with FlushKept, before the file they protect changes:
  // a power cut after its rewrite still finds its original.
  if (!AppendJournalLine(files, *held_, JournalEntry(entry))) return Fail();
  ++entries_;
  unwritten_[path] = entries_;
}

std::optional<ULONGLONG> UndoRecording::FlushKept() {
  if (failed_ || !held_) return std::nullopt;
  FileSystem& files = store_.Files();
  const bool packFlushed =
      packed_ == flushedPack_ || files.WriteOut(pack_.Get()) || files.Flush(pack_.Get());
  if (!packFlushed || !files.Flush(held_->journal.Get())) {
    Fail();
    return std::nullopt;
  }
  flushedPack_ = packed_;
  // Not knowing the volume only costs the run's new files a flush of their own.
  FileIdentity volume;
  if (!files.Identity(held_->journal.Get(), volume)) return std::nullopt;
  return volume.volume;
}

// Copies the original, still at `path`, to the end of the pack. A file
// changed since it was read, or that cannot be read through, raises the error
// its rewrite would.
bool UndoRecording::CopyToPack(const std::string& path, const FileStamp& read) {
  FileSystem& files = store_.Files();
  bool written = true;
  const PiecesRead copied = ReadInPieces(files, path, read, FILE_SHARE_READ, [&](std::string_view piece) {
    return written = WriteWholeBuffer(files, pack_.Get(), piece);
  });
  if (!written) return false;
  if (copied == PiecesRead::kUnreadable) {
    // The pieces copied so far belong to no entry: the next original goes
    // over them, as the journal wants the pack without gaps.
    if (!files.SetEnd(pack_.Get(), packed_)) return false;
    throw Error::Format(kCannotOpenFile, path);
  }
  return true;
}

bool UndoRecording::WritingInPlace(const std::string& path) {
  // Nothing kept of it once the store failed: the user was told so.
  const auto unwritten = unwritten_.find(path);
  if (unwritten == unwritten_.end()) return true;
  // One full flush for each such file: they are few.
  FileSystem& files = store_.Files();
  if (!AppendJournalLine(files, *held_, JournalInPlace(unwritten->second)) || !files.Flush(held_->journal.Get())) {
    const DWORD error = GetLastError();
    Fail();
    SetLastError(error);
    return false;
  }
  TakeOver();
  return true;
}

void UndoRecording::Written(const std::string& path) {
  const auto unwritten = unwritten_.find(path);
  if (unwritten == unwritten_.end()) return;
  const int entry = unwritten->second;
  unwritten_.erase(unwritten);
  TakeOver();
  FileStamp left;
  if (!store_.Files().PathStamp(path, left) ||
      !AppendJournalLine(store_.Files(), *held_, JournalWritten(entry, left.lastWrite))) {
    Fail();
  }
}

void UndoRecording::RecordTemporary(const std::string& path, bool ours) {
  if (failed_ || !held_) return;
  if (!AppendJournalLine(store_.Files(), *held_, JournalTemporary(JournalPath(path), ours))) Fail();
}

void UndoRecording::RefuseStoreFile(const std::string& path, std::string_view identity) const {
  for (const std::string& prefix : rootPrefixes_) {
    if (identity.starts_with(prefix)) throw Refused(Error::Format(kStoreFileRefused, path).what());
  }
}

// This run's store is made in the first root that takes it.
bool UndoRecording::Start() {
  FileSystem& files = store_.Files();
  held_ = store_.MakeStore();
  if (held_) {
    // Held with writes and removal shared with no one until this copy ends.
    pack_ = files.Open(InStore(held_->folder, kPackName), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL);
    // The start line reaches the disk with the first entry's: until then
    // the store protects nothing, and a flush of its own would cost the
    // store's disk one more wait per run.
    if (pack_ && AppendJournalLine(files, *held_, JournalStart(runTime_()))) return true;
  }
  Fail();
  return false;
}

void UndoRecording::TakeOver() {
  if (wrote_) return;
  wrote_ = true;
  store_.RemoveEarlierStores(held_->folder);
}

// What is in the store stays undoable; nothing more is added. A store that
// saw no file written gives way to the one before at once.
void UndoRecording::Fail() {
  failed_ = true;
  unwritten_.clear();
  std::string where;
  if (held_) {
    where = held_->folder;
    held_->pack = std::move(pack_);
    if (!wrote_) store_.RemoveStore(std::move(*std::exchange(held_, std::nullopt)));
  } else {
    for (const std::string& root : store_.Roots()) where += (where.empty() ? "" : " or ") + root;
  }
  report_(Error::Format(kUndoUnavailable, where).what());
}

}  // namespace varnex
