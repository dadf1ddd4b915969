#include "run/undostore.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "engine/error.h"
#include "engine/paths.h"
#include "framework/safereplace.h"
#include "framework/unicode.h"
#include "framework/wholefile.h"
#include "run/undofiles.h"

namespace varnex {
namespace {

// A store's folder: "s", its sequence number and the maker's process, so
// names sort by the order the stores were made in and two copies never pick
// the same one. Earlier versions named them "r" and the time they were made;
// those sort before every "s" store, as they are older than any.
constexpr char kStorePrefix = 's';
constexpr char kTimedStorePrefix = 'r';
constexpr std::size_t kStoreNameLength = 1 + 16 + 1 + 8;

bool IsStoreName(std::string_view name) {
  return name.size() == kStoreNameLength && (name[0] == kStorePrefix || name[0] == kTimedStorePrefix) &&
         name[17] == '-' &&
         std::all_of(name.begin() + 1, name.end(), [](char c) { return c == '-' || std::isxdigit(static_cast<unsigned char>(c)); });
}

std::uint64_t StoreSequence(std::string_view name) {
  std::uint64_t sequence = 0;
  if (name.size() == kStoreNameLength && name[0] == kStorePrefix) std::from_chars(name.data() + 1, name.data() + 17, sequence, 16);
  return sequence;
}

std::string NewStoreName(std::uint64_t sequence) {
  char name[kStoreNameLength + 1];
  std::snprintf(name, sizeof name, "%c%016llx-%08lx", kStorePrefix, static_cast<unsigned long long>(sequence),
                GetCurrentProcessId());
  return name;
}

// The folder and those above it that are missing.
bool MakeFolders(FileSystem& files, const std::string& folder) {
  if (files.MakeFolder(folder) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  const std::size_t slash = folder.find_last_of('\\');
  if (slash == std::string::npos || slash < 3) return false;
  return MakeFolders(files, folder.substr(0, slash)) && files.MakeFolder(folder);
}

// What is left of a store nobody holds: the pack and the linked originals.
void RemoveOriginals(FileSystem& files, const std::string& folder) {
  files.Remove(InStore(folder, kPackName));
  std::vector<std::string> names;
  files.FindNames(InStore(folder, "*.orig"), names);
  for (const std::string& name : names) files.Remove(InStore(folder, name));
}

// The store's folder, and the root above it once no store is left in it; each
// only when nothing of anyone else's is in it. An earlier version's store is
// the root itself.
void RemoveStoreFolder(FileSystem& files, const std::string& folder) {
  files.RemoveFolder(folder);
  if (IsStoreName(ExtractFileName(folder))) files.RemoveFolder(folder.substr(0, folder.find_last_of('\\')));
}

// The journal's entries with their names in UTF-8.
UndoJournal ReadStoreJournal(std::string_view bytes, const std::string& path) {
  UndoJournal read = ReadJournal(bytes, path);
  if (read.ansiNames) {
    for (UndoEntry& entry : read.entries) entry.path = FromAnsi(entry.path);
  }
  return read;
}

// The new files that a run or an undo of the store ended by force may have
// left beside the files it wrote: those its journal named before making them.
void RemoveLeftoverTemporaries(FileSystem& files, std::string_view journal, const std::string& folder) {
  try {
    for (const std::string& path : ReadStoreJournal(journal, InStore(folder, kJournalName)).temporaries) {
      RemoveLeftoverTemporary(files, path);
    }
  } catch (const Error&) {
    // A damaged journal is no record to remove anything by.
  }
}

}  // namespace

UndoStore::UndoStore(std::vector<std::string> roots, FileSystem& files) : roots_(std::move(roots)), files_(files) {}

std::vector<UndoStore::Found> UndoStore::Stores() const {
  std::vector<Found> stores;
  for (const std::string& root : roots_) {
    // A store kept by an earlier version of the program, in the root itself.
    FileStamp journal;
    if (files_.PathStamp(InStore(root, kJournalName), journal)) stores.push_back({root, ""});
    std::vector<std::string> names;
    files_.FindNames(InStore(root, "?*-*"), names);
    for (std::string& name : names) {
      if (IsStoreName(name)) stores.push_back({InStore(root, name), std::move(name)});
    }
  }
  std::stable_sort(stores.begin(), stores.end(), [](const Found& a, const Found& b) { return a.name < b.name; });
  return stores;
}

bool UndoStore::Any() const { return !Stores().empty(); }

std::optional<HeldStore> UndoStore::Hold(const std::string& folder, std::string& bytes) const {
  HeldStore store{.folder = folder, .journal = OpenJournal(files_, folder, OPEN_EXISTING)};
  if (!store.journal || !ReadWholeFile(files_, store.journal.Get(), bytes)) return std::nullopt;
  // Lines added go after the last whole one: a line cut short by a full disk
  // would otherwise swallow the next one's start.
  const std::size_t lineEnd = bytes.rfind("\r\n");
  store.journalEnd = lineEnd == std::string::npos ? 0 : lineEnd + 2;
  if (!files_.SetEnd(store.journal.Get(), store.journalEnd)) return std::nullopt;
  store.pack = files_.Open(InStore(folder, kPackName), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL);
  return store;
}

bool UndoStore::ReadUnheld(const std::string& folder, std::string& bytes) const {
  const FileHandle journal = files_.Open(InStore(folder, kJournalName), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL);
  return journal && ReadWholeFile(files_, journal.Get(), bytes);
}

bool AppendJournalLine(FileSystem& files, HeldStore& store, std::string_view line) {
  if (WriteWholeBuffer(files, store.journal.Get(), line)) {
    store.journalEnd += line.size();
    return true;
  }
  files.SetEnd(store.journal.Get(), store.journalEnd);
  return false;
}

std::optional<UndoJournal> UndoStore::Peek(const std::string& folder) const {
  std::string bytes;
  if (!ReadUnheld(folder, bytes)) return std::nullopt;
  return ReadStoreJournal(bytes, InStore(folder, kJournalName));
}

UndoStore::Choice UndoStore::HoldRunToUndo() {
  // Nothing is removed here: the user has not answered yet.
  Choice choice;
  const std::vector<Found> stores = Stores();
  for (auto found = stores.rbegin(); found != stores.rend() && !choice.store; ++found) {
    const bool own = own_ && own_->folder == found->folder;
    std::string bytes;
    // This copy's own journal ends on a whole line: its lines are cut back as
    // they fail.
    std::optional<HeldStore> held = own ? std::exchange(own_, std::nullopt) : Hold(found->folder, bytes);
    if (own && !ReadUnheld(found->folder, bytes)) {
      own_ = std::move(held);
      held.reset();
    }
    if (!held) {
      // Held by another copy, or a store that never got its journal.
      std::optional<UndoJournal> elsewhere;
      try {
        elsewhere = Peek(found->folder);
      } catch (const Error&) {
      }
      if (!choice.laterRunElsewhere && elsewhere && AnyWritten(*elsewhere)) choice.laterRunElsewhere = elsewhere->runTime;
      continue;
    }
    UndoJournal journal;
    try {
      journal = ReadStoreJournal(bytes, InStore(found->folder, kJournalName));
    } catch (const Error&) {
      if (own) own_ = std::move(held);
      throw;
    }
    if (journal.entries.empty()) {
      if (own) own_ = std::move(held);
      continue;
    }
    choice.store = std::move(held);
    choice.journal = std::move(journal);
    choice.own = own;
  }
  return choice;
}

void UndoStore::ReleaseWithoutRestoring(Choice& choice) {
  if (choice.store && choice.own) own_ = std::move(choice.store);
  choice.store.reset();
}

void UndoStore::RemoveStore(HeldStore store) {
  // Nothing left to take back, whatever happens next.
  if (!files_.SetEnd(store.journal.Get(), 0)) return;
  files_.Flush(store.journal.Get());
  store.pack.Reset();
  RemoveOriginals(files_, store.folder);
  store.journal.Reset();
  files_.Remove(InStore(store.folder, kJournalName));
  RemoveStoreFolder(files_, store.folder);
}

void UndoStore::RemoveEarlierStores(const std::string& taking) {
  const std::string takingName(ExtractFileName(taking));
  for (const Found& found : Stores()) {
    if (found.name >= takingName) continue;
    const bool own = own_ && own_->folder == found.folder;
    std::string bytes;
    std::optional<HeldStore> held = own ? std::exchange(own_, std::nullopt) : Hold(found.folder, bytes);
    if (held) {
      // This copy's own run ended in order, every new file of it gone.
      if (!own) RemoveLeftoverTemporaries(files_, bytes, found.folder);
      RemoveStore(std::move(*held));
    } else if (files_.Attributes(InStore(found.folder, kJournalName)) == INVALID_FILE_ATTRIBUTES) {
      RemoveOriginals(files_, found.folder);
      RemoveStoreFolder(files_, found.folder);
    }
  }
}

std::optional<HeldStore> UndoStore::MakeStore() {
  for (const std::string& root : roots_) {
    // Twice: another copy may take the empty root away between the two steps.
    for (int attempt = 0; attempt < 2; ++attempt) {
      std::uint64_t sequence = 0;
      for (const Found& found : Stores()) sequence = std::max(sequence, StoreSequence(found.name));
      const std::string folder = InStore(root, NewStoreName(sequence + 1));
      if (!MakeFolders(files_, folder)) continue;
      HeldStore store{.folder = folder, .journal = OpenJournal(files_, folder, CREATE_NEW)};
      if (store.journal) return store;
      RemoveStoreFolder(files_, folder);
    }
  }
  return std::nullopt;
}

void UndoStore::KeepAsLastRun(HeldStore store) { own_ = std::move(store); }

}  // namespace varnex
