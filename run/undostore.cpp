#include "run/undostore.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "engine/error.h"
#include "engine/paths.h"
#include "framework/unicode.h"
#include "framework/wholefile.h"
#include "run/undofiles.h"

namespace varnex {
namespace {

// A store's folder: "r", the time it was made in 100 ns steps and the maker's
// process, so names sort by age and two copies never pick the same one.
constexpr char kStorePrefix = 'r';
constexpr std::size_t kStoreNameLength = 1 + 16 + 1 + 8;

bool IsStoreName(std::string_view name) {
  return name.size() == kStoreNameLength && name[0] == kStorePrefix && name[17] == '-' &&
         std::all_of(name.begin() + 1, name.end(), [](char c) { return c == '-' || std::isxdigit(static_cast<unsigned char>(c)); });
}

std::string NewStoreName() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  char name[kStoreNameLength + 1];
  std::snprintf(name, sizeof name, "%c%08lx%08lx-%08lx", kStorePrefix, now.dwHighDateTime, now.dwLowDateTime,
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

}  // namespace

UndoStore::UndoStore(std::vector<std::string> roots, FileSystem& files) : roots_(std::move(roots)), files_(files) {}

std::vector<UndoStore::Found> UndoStore::Stores() const {
  std::vector<Found> stores;
  for (const std::string& root : roots_) {
    // A store kept by an earlier version of the program, in the root itself.
    FileStamp journal;
    if (files_.PathStamp(InStore(root, kJournalName), journal)) stores.push_back({root, ""});
    std::vector<std::string> names;
    files_.FindNames(InStore(root, std::string(1, kStorePrefix) + "*"), names);
    for (std::string& name : names) {
      if (IsStoreName(name)) stores.push_back({InStore(root, name), std::move(name)});
    }
  }
  std::stable_sort(stores.begin(), stores.end(), [](const Found& a, const Found& b) { return a.name < b.name; });
  return stores;
}

bool UndoStore::Any() const { return !Stores().empty(); }

std::optional<HeldStore> UndoStore::Hold(const std::string& folder) const {
  HeldStore store{folder, OpenJournal(files_, folder, OPEN_EXISTING)};
  LARGE_INTEGER size;
  // Lines added go after those there.
  if (!store.journal || !files_.Size(store.journal.Get(), size) ||
      !files_.SetEnd(store.journal.Get(), static_cast<ULONGLONG>(size.QuadPart))) {
    return std::nullopt;
  }
  return store;
}

std::optional<UndoJournal> UndoStore::Peek(const std::string& folder) const {
  const std::string path = InStore(folder, kJournalName);
  const FileHandle journal = files_.Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  std::string bytes;
  if (!journal || !ReadWholeFile(files_, journal.Get(), bytes)) return std::nullopt;
  UndoJournal read = ReadJournal(bytes, path);
  if (read.ansiNames) {
    for (UndoEntry& entry : read.entries) entry.path = FromAnsi(entry.path);
  }
  return read;
}

UndoStore::Choice UndoStore::Choose() {
  Choice choice;
  const std::vector<Found> stores = Stores();
  for (auto found = stores.rbegin(); found != stores.rend(); ++found) {
    const bool own = own_ && own_->folder == found->folder;
    std::optional<HeldStore> held = own ? std::exchange(own_, std::nullopt) : Hold(found->folder);
    if (!held) {
      // Held by another copy, or a store that never got its journal.
      std::optional<UndoJournal> elsewhere;
      try {
        elsewhere = Peek(found->folder);
      } catch (const Error&) {
      }
      if (!elsewhere && files_.Attributes(InStore(found->folder, kJournalName)) == INVALID_FILE_ATTRIBUTES) {
        RemoveOriginals(files_, found->folder);
        RemoveStoreFolder(files_, found->folder);
      }
      const bool changed = elsewhere && std::any_of(elsewhere->entries.begin(), elsewhere->entries.end(),
                                                    [](const UndoEntry& entry) { return entry.lastWrite.has_value(); });
      if (!choice.store && !choice.laterRunElsewhere && changed) choice.laterRunElsewhere = elsewhere->runTime;
      continue;
    }
    if (choice.store) {
      // Earlier than the run chosen, which changed a file: one run deep.
      Retire(std::move(*held));
      continue;
    }
    std::optional<UndoJournal> journal;
    try {
      journal = Peek(found->folder);
    } catch (const Error&) {
      if (own) own_ = std::move(held);
      throw;
    }
    if (!journal || journal->entries.empty()) {
      Retire(std::move(*held));
      continue;
    }
    const bool changed = std::any_of(journal->entries.begin(), journal->entries.end(),
                                     [](const UndoEntry& entry) { return entry.lastWrite.has_value(); });
    choice.store = std::move(held);
    choice.journal = std::move(*journal);
    choice.own = own;
    // A run cut short before it said it wrote anything may have written
    // nothing: the run before it stays until this one is taken back.
    if (!changed) break;
  }
  return choice;
}

void UndoStore::LetGo(Choice& choice) {
  if (choice.store && choice.own) own_ = std::move(choice.store);
  choice.store.reset();
}

void UndoStore::Retire(HeldStore store) {
  // Nothing left to take back, whatever happens next.
  if (!files_.SetEnd(store.journal.Get(), 0)) return;
  files_.Flush(store.journal.Get());
  RemoveOriginals(files_, store.folder);
  store.journal.Reset();
  files_.Remove(InStore(store.folder, kJournalName));
  RemoveStoreFolder(files_, store.folder);
}

void UndoStore::HandOver(const std::string& taking) {
  const std::string takingName(ExtractFileName(taking));
  for (const Found& found : Stores()) {
    if (found.name >= takingName) continue;
    const bool own = own_ && own_->folder == found.folder;
    std::optional<HeldStore> held = own ? std::exchange(own_, std::nullopt) : Hold(found.folder);
    if (held) Retire(std::move(*held));
  }
}

std::optional<HeldStore> UndoStore::MakeStore() {
  for (const std::string& root : roots_) {
    // Twice: another copy may take the empty root away between the two steps.
    for (int attempt = 0; attempt < 2; ++attempt) {
      const std::string folder = InStore(root, NewStoreName());
      if (!MakeFolders(files_, folder)) continue;
      HeldStore store{folder, OpenJournal(files_, folder, CREATE_NEW)};
      if (store.journal) return store;
      RemoveStoreFolder(files_, folder);
    }
  }
  return std::nullopt;
}

void UndoStore::Adopt(HeldStore store) { own_ = std::move(store); }

}  // namespace varnex
