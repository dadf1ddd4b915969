#include "run/undostore.h"

#include "engine/contenthash.h"
#include "engine/error.h"
#include "framework/wholefile.h"
#include "run/targetfile.h"

namespace varnex {
namespace {

constexpr char kJournalName[] = "journal.txt";

std::string InFolder(const std::string& folder, std::string_view name) {
  return folder + "\\" + std::string(name);
}

// Size and last-write time as the folder lists them: one call, no open.
struct Listed {
  std::uint64_t size = 0;
  std::uint64_t lastWrite = 0;
};

std::optional<Listed> ListedAs(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  return Listed{(std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime};
}

std::string FullPath(const std::string& path) {
  std::string full(MAX_PATH, '\0');
  DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return path;
  full.resize(length);
  return full;
}

// The whole file and its stamp, read with other writers locked out.
bool ReadWithStamp(FileSystem& files, const std::string& path, std::string& bytes, FileStamp& stamp) {
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  return file && files.Stamp(file.Get(), stamp) && ReadWholeFile(files, file.Get(), bytes);
}

bool HasJournal(const std::string& folder) { return ListedAs(InFolder(folder, kJournalName)).has_value(); }

// Removes what a store left in `folder`: its journal first, so a removal cut
// short never leaves a journal whose copies are gone.
void RemoveStoreIn(FileSystem& files, const std::string& folder) {
  files.Remove(InFolder(folder, kJournalName));
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(InFolder(folder, "*.orig").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      files.Remove(InFolder(folder, found.cFileName));
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

}  // namespace

UndoStore::UndoStore(std::vector<std::string> folders, FileSystem& files)
    : folders_(std::move(folders)), files_(files) {}

std::optional<std::string> UndoStore::Existing() const {
  for (const std::string& folder : folders_) {
    if (HasJournal(folder)) return folder;
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

int UndoStore::KeptCount(const std::string& folder, const UndoJournal& journal) const {
  int kept = 0;
  for (const UndoEntry& entry : journal.entries) {
    if (ListedAs(InFolder(folder, KeptCopyName(entry.number)))) ++kept;
  }
  return kept;
}

UndoStore::Outcome UndoStore::Restore(const std::string& folder, const UndoJournal& journal,
                                      const std::function<void(const std::string&)>& onRestored) {
  Outcome outcome;
  for (const UndoEntry& entry : journal.entries) {
    const std::string copy = InFolder(folder, KeptCopyName(entry.number));
    const std::optional<Listed> now = ListedAs(entry.path);
    // The time is known only where the run lived to write it down.
    const bool listedAsLeft =
        now && now->size == entry.size && (!entry.lastWrite || *entry.lastWrite == now->lastWrite);
    std::string bytes;
    FileStamp stamp;
    const bool asLeft =
        listedAsLeft && ReadWithStamp(files_, entry.path, bytes, stamp) && ContentHash(bytes) == entry.hash;
    if (!ListedAs(copy)) {
      // Written without its original kept; or, without the line that says it
      // was written, never written at all.
      if (asLeft) outcome.leftAlone.push_back(entry.path);
      continue;
    }
    std::string original;
    FileStamp copyStamp;
    if (!asLeft || !ReadWithStamp(files_, copy, original, copyStamp)) {
      outcome.leftAlone.push_back(entry.path);
      continue;
    }
    bytes = {};
    try {
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

void UndoStore::Remove(const std::string& folder) { RemoveStoreIn(files_, folder); }

UndoRecording::UndoRecording(UndoStore& store, Clock runTime, Report report)
    : store_(store), runTime_(std::move(runTime)), report_(std::move(report)) {}

void UndoRecording::Prepare(const std::string& path, std::string_view newBytes, OriginalKeeping& keeping) {
  keeping = {};
  if (failed_ || (!journal_ && !Start())) return;
  UndoEntry entry;
  entry.number = entries_ + 1;
  entry.path = FullPath(path);
  entry.size = newBytes.size();
  entry.hash = ContentHash(newBytes);
  if (!Append(JournalEntry(entry))) return Fail(folder_);
  ++entries_;
  keeping.place = InFolder(folder_, KeptCopyName(entry.number));
}

void UndoRecording::Written(const std::string& path, const OriginalKeeping& keeping) {
  if (keeping.place.empty()) return;
  if (!keeping.kept) return Fail(folder_);
  const std::optional<Listed> left = ListedAs(path);
  if (!left || !Append(JournalWritten(entries_, left->lastWrite))) Fail(folder_);
}

// The previous run's store goes, wherever it was; this run's is made in the
// first folder that takes it.
bool UndoRecording::Start() {
  FileSystem& files = store_.Files();
  for (const std::string& folder : store_.Folders()) RemoveStoreIn(files, folder);
  const std::string runTime = runTime_();
  for (const std::string& folder : store_.Folders()) {
    if (!MakeFolder(folder)) continue;
    journal_ = files.Open(InFolder(folder, kJournalName), GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL);
    if (!journal_) continue;
    folder_ = folder;
    if (Append(JournalStart(runTime))) return true;
    journal_.Reset();
    RemoveStoreIn(files, folder);
  }
  std::string tried;
  for (const std::string& folder : store_.Folders()) tried += (tried.empty() ? "" : " or ") + folder;
  Fail(tried);
  return false;
}

bool UndoRecording::Append(const std::string& line) { return WriteWholeBuffer(store_.Files(), journal_.Get(), line); }

void UndoRecording::Fail(std::string_view where) {
  failed_ = true;
  journal_.Reset();
  report_(Error::Format(kUndoUnavailable, where).what());
}

}  // namespace varnex
