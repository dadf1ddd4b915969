#include "run/undostore.h"

#include "engine/contenthash.h"
#include "engine/error.h"
#include "framework/wholefile.h"
#include "run/targetfile.h"

namespace varnex {
namespace {

constexpr char kJournalName[] = "journal.txt";
constexpr char kPackName[] = "originals.dat";
// A file this big keeps its original by a second name in the store where the
// volume allows: no bytes move. Smaller ones go into the pack; a name each
// would cost a create, and some platforms look through the whole folder for
// every new name.
constexpr std::size_t kLinkedAtLeast = 1 << 20;

std::string InFolder(const std::string& folder, std::string_view name) {
  return folder + "\\" + std::string(name);
}

// The whole file and its stamp, read with other writers locked out.
bool ReadWithStamp(FileSystem& files, const std::string& path, std::string& bytes, FileStamp& stamp) {
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  return file && files.Stamp(file.Get(), stamp) && ReadWholeFile(files, file.Get(), bytes);
}

// `length` bytes of the pack from `offset`; false where the pack ends sooner.
bool ReadPacked(HANDLE pack, std::uint64_t offset, std::uint64_t length, std::string& bytes) {
  if (length > bytes.max_size()) return false;
  bytes.resize(static_cast<std::size_t>(length));
  for (std::size_t done = 0; done < bytes.size();) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset + done);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
    DWORD read = 0;
    if (!ReadFile(pack, bytes.data() + done, piece, &read, &at) || read == 0) return false;
    done += read;
  }
  return true;
}

// Removes what a store left in `folder`: its journal first, so a removal cut
// short never leaves a journal without its pack.
void RemoveStoreIn(const std::string& folder) {
  DeleteFileA(InFolder(folder, kJournalName).c_str());
  DeleteFileA(InFolder(folder, kPackName).c_str());
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(InFolder(folder, "*.orig").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileA(InFolder(folder, found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());  // only when nothing of anyone else's is in it
}

// The folder and those above it that are missing.
bool MakeFolder(const std::string& folder) {
  if (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  const std::size_t slash = folder.find_last_of('\\');
  if (slash == std::string::npos || slash < 3) return false;
  return MakeFolder(folder.substr(0, slash)) && CreateDirectoryA(folder.c_str(), nullptr);
}

FileHandle CreateInStore(FileSystem& files, const std::string& folder, const char* name) {
  return files.Open(InFolder(folder, name), GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

UndoStore::UndoStore(std::vector<std::string> folders, FileSystem& files)
    : folders_(std::move(folders)), files_(files) {}

std::optional<std::string> UndoStore::Existing() const {
  for (const std::string& folder : folders_) {
    FileStamp journal;
    if (files_.PathStamp(InFolder(folder, kJournalName), journal)) return folder;
  }
  return std::nullopt;
}

UndoJournal UndoStore::Load(const std::string& folder) const {
  const std::string path = InFolder(folder, kJournalName);
  std::string bytes;
  FileStamp stamp;
  if (!ReadWithStamp(files_, path, bytes, stamp)) throw Error::Format(kCannotOpenFile, path);
  return ReadJournal(bytes, path);
}

UndoStore::Outcome UndoStore::Restore(const std::string& folder, const UndoJournal& journal,
                                      const std::function<void(const std::string&)>& onRestored) {
  const std::string packPath = InFolder(folder, kPackName);
  const FileHandle pack = files_.Open(packPath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!pack) throw Error::Format(kCannotOpenFile, packPath);
  Outcome outcome;
  for (const UndoEntry& entry : journal.entries) {
    FileStamp now;
    // The time is known only where the run lived to write it down.
    const bool listedAsLeft = files_.PathStamp(entry.path, now) && now.size == entry.size &&
                              (!entry.lastWrite || *entry.lastWrite == now.lastWrite);
    std::string bytes;
    FileStamp stamp;
    const bool asLeft =
        listedAsLeft && ReadWithStamp(files_, entry.path, bytes, stamp) && ContentHash(bytes) == entry.hash;
    if (!asLeft) {
      // Without the line that says it was written, the run ended before it
      // wrote this file: nothing to give back.
      if (entry.lastWrite) outcome.leftAlone.push_back(entry.path);
      continue;
    }
    bytes = {};
    std::string original;
    try {
      FileStamp copyStamp;
      const bool read = entry.linked ? ReadWithStamp(files_, InFolder(folder, LinkedCopyName(entry.number)), original,
                                                     copyStamp) && original.size() == entry.length
                                     : ReadPacked(pack.Get(), entry.offset, entry.length, original);
      if (!read) throw Error::Format(kCannotOpenFile, packPath);
      RewriteTargetFile(entry.path, stamp, original, files_);
    } catch (const Error&) {
      outcome.leftAlone.push_back(entry.path);
      continue;
    }
    outcome.restored.push_back(entry.path);
    onRestored(entry.path);
  }
  return outcome;
}

void UndoStore::Remove(const std::string& folder) { RemoveStoreIn(folder); }

UndoRecording::UndoRecording(UndoStore& store, Clock runTime, Report report)
    : store_(store), runTime_(std::move(runTime)), report_(std::move(report)) {}

void UndoRecording::Keep(const std::string& path, std::string_view original, std::string_view newBytes) {
  Record(path, original.size(), newBytes, [&] { return WriteWholeBuffer(store_.Files(), pack_.Get(), original); });
}

bool UndoRecording::TakesFromFile(std::uint64_t size) { return size >= kLinkedAtLeast; }

void UndoRecording::KeepFromFile(const std::string& path, const FileStamp& read, std::string_view newBytes) {
  Record(path, read.size, newBytes, [&] { return PackFromFile(path, read); });
}

void UndoRecording::Record(const std::string& path, std::uint64_t length, std::string_view newBytes,
                           const std::function<bool()>& pack) {
  kept_ = false;
  if (failed_ || (!journal_ && !Start())) return;
  UndoEntry entry;
  entry.number = entries_ + 1;
  entry.path = FullPathName(path);
  entry.length = length;
  entry.size = newBytes.size();
  entry.hash = ContentHash(newBytes);
  FileSystem& files = store_.Files();
  // The bytes before the line that names them: a journal never points past
  // what the store holds.
  entry.linked = length >= kLinkedAtLeast && files.Link(entry.path, InFolder(folder_, LinkedCopyName(entry.number)));
  if (!entry.linked) {
    entry.offset = packed_;
    if (!pack()) return Fail();
    packed_ += length;
  }
  if (!WriteWholeBuffer(files, journal_.Get(), JournalEntry(entry))) return Fail();
  ++entries_;
  kept_ = true;
}

// Copies the original, still at `path`, to the end of the pack. A file changed
// since it was read, or that cannot be read through, raises the error its
// rewrite would.
bool UndoRecording::PackFromFile(const std::string& path, const FileStamp& read) {
  FileSystem& files = store_.Files();
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  FileStamp now;
  if (!file || !files.Stamp(file.Get(), now) || now != read) throw Error::Format(kCannotOpenFile, path);
  std::string piece(std::min<std::uint64_t>(read.size, 1 << 22), '\0');
  for (std::uint64_t left = read.size; left > 0;) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::uint64_t>(left, piece.size()));
    if (!files.Read(file.Get(), piece.data(), want, got) || got == 0) {
      // The pieces copied so far belong to no entry: the next original
      // goes over them, as the journal wants the pack without gaps.
      LARGE_INTEGER end;
      end.QuadPart = static_cast<LONGLONG>(packed_);
      if (!SetFilePointerEx(pack_.Get(), end, nullptr, FILE_BEGIN)) return false;
      throw Error::Format(kCannotOpenFile, path);
    }
    if (!WriteWholeBuffer(files, pack_.Get(), std::string_view(piece.data(), got))) return false;
    left -= got;
  }
  return true;
}

void UndoRecording::Written(const std::string& path) {
  if (!kept_) return;
  kept_ = false;
  FileStamp left;
  if (!store_.Files().PathStamp(path, left) ||
      !WriteWholeBuffer(store_.Files(), journal_.Get(), JournalWritten(entries_, left.lastWrite))) {
    Fail();
  }
}

// The previous run's store goes, wherever it was; this run's is made in the
// first folder that takes it.
bool UndoRecording::Start() {
  FileSystem& files = store_.Files();
  for (const std::string& folder : store_.Folders()) RemoveStoreIn(folder);
  const std::string runTime = runTime_();
  for (const std::string& folder : store_.Folders()) {
    if (!MakeFolder(folder)) continue;
    pack_ = CreateInStore(files, folder, kPackName);
    journal_ = CreateInStore(files, folder, kJournalName);
    if (pack_ && journal_ && WriteWholeBuffer(files, journal_.Get(), JournalStart(runTime))) {
      folder_ = folder;
      return true;
    }
    pack_.Reset();
    journal_.Reset();
    RemoveStoreIn(folder);
  }
  Fail();
  return false;
}

// What is in the store stays undoable; nothing more is added.
void UndoRecording::Fail() {
  failed_ = true;
  kept_ = false;
  journal_.Reset();
  pack_.Reset();
  std::string where = folder_;
  if (where.empty()) {
    for (const std::string& folder : store_.Folders()) where += (where.empty() ? "" : " or ") + folder;
  }
  report_(Error::Format(kUndoUnavailable, where).what());
}

}  // namespace varnex
