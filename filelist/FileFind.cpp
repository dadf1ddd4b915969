#include "filelist/FileFind.h"

#include <algorithm>

#include "engine/binaryfile.h"
#include "filelist/namemask.h"
#include "filelist/searchpatterns.h"
#include "framework/handle.h"
#include "framework/unicode.h"

namespace varnex {
namespace {

bool IsDotEntry(const TSearchRec& entry) { return entry.Name() == "." || entry.Name() == ".."; }

HANDLE FindFirst(const std::string& pattern, TSearchRec& entry) {
  const HANDLE find = FindFirstFileW(WidePath(pattern).c_str(), &entry.FindData);
  if (find != INVALID_HANDLE_VALUE) entry.name = Utf8(entry.FindData.cFileName);
  return find;
}

bool FindNext(HANDLE find, TSearchRec& entry) {
  if (!FindNextFileW(find, &entry.FindData)) return false;
  entry.name = Utf8(entry.FindData.cFileName);
  return true;
}

// What ends a listing without anything left out: a stop, no match, or no more.
bool ListedWhole(DWORD ended) {
  return ended == ERROR_SUCCESS || ended == ERROR_FILE_NOT_FOUND || ended == ERROR_NO_MORE_FILES;
}

}  // namespace

TFileSearch::TFileSearch(std::function<void()> processPendingEvents, FileSystem& files)
    : processPendingEvents_(std::move(processPendingEvents)), files_(files) {}

void TFileSearch::Execute() {
  Stop = false;
  filesFound_.clear();
  notListed_.clear();
  binary_.clear();
  excludedFolders_.clear();
  excludedFiles_.clear();
  // After a stop the remaining patterns are still searched, but each ends at
  // its first check.
  for (const SearchPattern& pattern : SplitSearchFile(SearchFile)) {
    std::string self = pattern.folder;
    if (!self.empty()) self.pop_back();
    TSearchRec folderRecord;
    if (!FindHandle(FindFirst(self, folderRecord))) folderRecord = {};
    Ancestors ancestors;
    start_ = pattern.folder;
    Walk(pattern.folder, NameMask(pattern.mask), folderRecord, ancestors);
  }
  if (OnFinish) OnFinish(*this);
}

// Each folder is listed once: the listing gives the matches and then the
// subfolders to walk, in the order a listing for the mask and another for the
// subfolders would. Listing a folder is most of a scan's time under Wine.
void TFileSearch::Walk(const std::string& folder, const NameMask& mask, const TSearchRec& folderRecord,
                       Ancestors& ancestors) {
  // A link back to a folder that is being walked would otherwise be entered
  // again and again, until the paths grew too long.
  const std::optional<FolderId> id = Identify(folder);
  if (id && std::find(ancestors.begin(), ancestors.end(), *id) != ancestors.end()) return;
  if (id) ancestors.push_back(*id);

  if (OnChangeFolder) OnChangeFolder(folder, folderRecord);
  std::vector<TSearchRec> subfolders;
  const DWORD ended = ForEachEntry(folder + "*.*", [&](const TSearchRec& entry) {
    if (IsDotEntry(entry) || !Included(folder, entry)) return;
    if (mask.Matches(entry.FindData)) Report(folder, entry);
    if ((entry.Attr() & FILE_ATTRIBUTE_DIRECTORY) && RecurseSubFolders) subfolders.push_back(entry);
  });
  if (!ListedWhole(ended)) NoteNotListed(folder);
  for (const TSearchRec& entry : subfolders) {
    if (Stop) break;
    Walk(folder + std::string(entry.Name()) + "\\", mask, entry, ancestors);
  }

  if (id) ancestors.pop_back();
}

bool TFileSearch::Included(const std::string& folder, const TSearchRec& entry) {
  if (Exclude.Empty()) return true;
  const std::string relative = folder.substr(start_.size()) + std::string(entry.Name());
  const bool isFolder = (entry.Attr() & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (!Exclude.Excludes(relative, isFolder)) return true;
  (isFolder ? excludedFolders_ : excludedFiles_).insert(folder + std::string(entry.Name()));
  return false;
}

void TFileSearch::Report(const std::string& folder, const TSearchRec& entry) {
  if (!OnFileFind) return;
  std::string path = folder + std::string(entry.Name());
  if (SkipBinaryFiles && !(entry.Attr() & FILE_ATTRIBUTE_DIRECTORY) && IsBinaryFile(path)) {
    binary_.insert(std::move(path));
    return;
  }
  OnFileFind(folder, entry);
  filesFound_.push_back(std::move(path));
}

// A file that cannot be read is kept: the run will say why it cannot do it.
bool TFileSearch::IsBinaryFile(const std::string& path) {
  const FileHandle file = files_.Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  if (!file) return false;
  std::string block(kBinaryProbeSize, '\0');
  DWORD read = 0;
  if (!files_.Read(file.Get(), block.data(), static_cast<DWORD>(block.size()), read)) return false;
  block.resize(read);
  return LooksBinary(block);
}

template <class Visit>
DWORD TFileSearch::ForEachEntry(const std::string& pattern, Visit visit) {
  TSearchRec entry;
  const FindHandle find(FindFirst(pattern, entry));
  DWORD ended = find ? ERROR_SUCCESS : GetLastError();
  for (bool found = static_cast<bool>(find); found && !Stop;) {
    visit(entry);
    found = FindNext(find.Get(), entry);
    if (!found) ended = GetLastError();
    processPendingEvents_();
  }
  return ended;
}

void TFileSearch::NoteNotListed(const std::string& folder) {
  if (std::find(notListed_.begin(), notListed_.end(), folder) == notListed_.end()) notListed_.push_back(folder);
}

std::optional<TFileSearch::FolderId> TFileSearch::Identify(const std::string& folder) {
  // Only a handle with backup semantics opens a folder; no access is needed to
  // read its identity.
  const FileHandle handle(CreateFileW(WidePath(folder.empty() ? "." : folder).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!handle || !GetFileInformationByHandle(handle.Get(), &information)) return std::nullopt;
  return FolderId{information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
}

}  // namespace varnex
