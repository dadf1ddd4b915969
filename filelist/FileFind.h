#pragma once
// TFileSearch: walks a folder tree and reports, one by one, every entry whose
// name matches one of the masks of SearchFile, keeping their full paths. It
// runs on the caller's thread and lets the user interface process its pending
// events per entry, which is also how a running scan is stopped.

#include <windows.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/exclusions.h"
#include "filelist/namemask.h"
#include "framework/filesystem.h"

namespace varnex {

// A directory entry as the platform lists it, its name in UTF-8.
struct TSearchRec {
  WIN32_FIND_DATAW FindData{};
  std::string name;  // FindData's, taken by each fetch

  std::string_view Name() const { return name; }
  DWORD Attr() const { return FindData.dwFileAttributes; }
};

class TFileSearch {
 public:
  // `fullpath` is the folder concerned, ending in "\"; `info` is the matching
  // entry (OnFileFind) or the folder itself (OnChangeFolder).
  using TFindFileEvent = std::function<void(const std::string& fullpath, const TSearchRec& info)>;
  using TChangeFolderEvent = TFindFileEvent;
  using TNotifyEvent = std::function<void(TFileSearch& sender)>;

  // `processPendingEvents` runs once per listed entry (twice per entry of a
  // subfolder listing); it should be cheap, so any throttling is the caller's.
  // A file's first block is read through `files` (see SkipBinaryFiles).
  explicit TFileSearch(std::function<void()> processPendingEvents, FileSystem& files = SystemFileSystem());

  // Runs one whole scan and returns when it has ended or been stopped. An error
  // raised by a handler ends the scan at once, without OnFinish, and goes on to
  // the caller.
  void Execute();

  const std::vector<std::string>& FilesFound() const { return filesFound_; }
  // The folders of the last scan that could not be listed, each once, ending
  // in "\": their files are missing from FilesFound. A folder that does not
  // exist counts too.
  const std::vector<std::string>& NotListed() const { return notListed_; }
  // What the last scan left out, each counted once however many masks met it.
  int BinaryLeftOut() const { return static_cast<int>(binary_.size()); }
  int ExcludedFolders() const { return static_cast<int>(excludedFolders_.size()); }
  int ExcludedFiles() const { return static_cast<int>(excludedFiles_.size()); }

  bool Stop = false;       // set to end a running scan; each scan clears it
  std::string SearchFile;  // a folder ending in "\" and masks separated by ";"
  bool RecurseSubFolders = true;
  TFindFileEvent OnFileFind;
  TChangeFolderEvent OnChangeFolder;
  TNotifyEvent OnFinish;
  // Folders and files left out, by name or by their path below the starting
  // folder: an excluded folder is never entered, nor reported.
  ExclusionMasks Exclude;
  // Files whose first block is binary (engine/binaryfile.h) are not reported.
  bool SkipBinaryFiles = false;

 private:
  // A folder as the file system knows it, whatever path led there.
  struct FolderId {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
    bool operator==(const FolderId&) const = default;
  };
  using Ancestors = std::vector<FolderId>;
  static std::optional<FolderId> Identify(const std::string& folder);

  void Walk(const std::string& folder, const NameMask& mask, const TSearchRec& folderRecord, Ancestors& ancestors);
  // Calls `visit` for each entry of `pattern` until the listing ends or Stop
  // is set, processing pending events after each fetch. Returns what ended
  // the listing: the system's error, ERROR_SUCCESS for a stop.
  template <class Visit>
  DWORD ForEachEntry(const std::string& pattern, Visit visit);
  void NoteNotListed(const std::string& folder);
  // False, the entry counted, for an entry that Exclude leaves out.
  bool Included(const std::string& folder, const TSearchRec& entry);
  // OnFileFind and FilesFound for a match, unless it is a binary file to skip.
  void Report(const std::string& folder, const TSearchRec& entry);
  bool IsBinaryFile(const std::string& path);

  std::function<void()> processPendingEvents_;
  FileSystem& files_;
  std::string start_;  // the starting folder of the pattern being searched
  std::vector<std::string> filesFound_;
  std::vector<std::string> notListed_;
  std::set<std::string> binary_, excludedFolders_, excludedFiles_;
};

}  // namespace varnex
