#include "run/safereplace.h"

#include <algorithm>
#include <cstdio>

#include "engine/paths.h"

namespace varnex {
namespace {

// The longest path the ANSI calls take on Windows (Wine takes one more).
constexpr std::size_t kLongestPath = MAX_PATH - 1;
constexpr int kNameAttempts = 100;
// Another program (a virus scanner, a second copy of ours) may hold a file for
// a moment; a move or removal waits about a second for it.
constexpr int kRetries = 40;
constexpr DWORD kRetryPause = 25;  // milliseconds

// "~vnx1a2b.tmp", or where the folder leaves less room, a name of the file's own
// length ("~1a2b" beside "a.txt"). Names are made here rather than by
// GetTempFileNameA, which would create the file only for it to be opened again.
std::string NameBeside(const std::string& path, unsigned number) {
  const std::size_t nameLength = ExtractFileName(path).size();
  const std::string folder = path.substr(0, path.size() - nameLength);
  const std::size_t room = kLongestPath > folder.size() ? kLongestPath - folder.size() : 0;
  char digits[16];
  if (room >= 12) {
    std::snprintf(digits, sizeof digits, "%04x", number & 0xFFFF);
    return folder + "~vnx" + digits + ".tmp";
  }
  const std::size_t length = std::clamp<std::size_t>(std::max(room, nameLength), 1, 11);
  std::snprintf(digits, sizeof digits, "%010x", number);
  return folder + (length == 1 ? std::string(1, digits[9]) : "~" + std::string(digits + 11 - length));
}

unsigned NextNumber() {
  static unsigned counter = GetTickCount();
  return ++counter;
}

bool Absent(FileSystem& files, const std::string& path) {
  if (files.Attributes(path) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool Present(FileSystem& files, const std::string& path) { return files.Attributes(path) != INVALID_FILE_ATTRIBUTES; }

// Where ReplaceFileA moves the original while the replacement takes its place.
// A "~vnx" name can only be a leftover of ours, which ReplaceFileA may replace:
// looking a name up costs Wine a scan of the folder when it is not there. A
// short name might be the user's, so it must be free. Empty when none is
// found; the replace then goes without one.
std::string BackupNameBeside(FileSystem& files, const std::string& path, const std::string& taken) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = NameBeside(path, NextNumber());
    if (name == taken || name == path) continue;
    if (ExtractFileName(name).starts_with("~vnx") || Absent(files, name)) return name;
  }
  return {};
}

bool MoveWaiting(FileSystem& files, const std::string& from, const std::string& to) {
  for (int attempt = 0;; ++attempt) {
    // Never over a file: whatever sits at `to` now is someone's.
    if (files.Move(from, to, MOVEFILE_WRITE_THROUGH)) return true;
    if (attempt == kRetries) return false;
    files.Pause(kRetryPause);
  }
}

// Where ReplaceFileA cannot work at all (file systems without it), a plain
// replace has to do; a refusal such as a read-only target is final.
bool ReplaceUnsupported(DWORD error) {
  return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED;
}

Placed MoveOver(FileSystem& files, const std::string& path, const std::string& replacement) {
  const DWORD attributes = files.Attributes(path);
  if (!files.Move(replacement, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    RemoveOurFile(files, replacement);
    return Placed::kOriginal;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES) files.SetAttributes(path, attributes);
  return Placed::kReplacement;
}

// After a failed ReplaceFileA the three names tell how far it got, whatever
// its error code claims.
Placed Recover(FileSystem& files, const std::string& path, const std::string& replacement, const std::string& backup) {
  const bool backupThere = !backup.empty() && Present(files, backup);
  if (Present(files, path)) {
    if (Absent(files, replacement)) {  // it went in after all
      if (backupThere) RemoveOurFile(files, backup);
      return Placed::kReplacement;
    }
    // The original never left.
    RemoveOurFile(files, replacement);
    if (backupThere) RemoveOurFile(files, backup);
    return Placed::kOriginal;
  }
  // Nothing at the path (ERROR_UNABLE_TO_MOVE_REPLACEMENT and _2): the new
  // text goes there, else the original goes back; neither is removed before
  // the other stands in place.
  if (Present(files, replacement) && MoveWaiting(files, replacement, path)) {
    if (backupThere) {
      const DWORD attributes = files.Attributes(backup);
      if (attributes != INVALID_FILE_ATTRIBUTES) files.SetAttributes(path, attributes);
      RemoveOurFile(files, backup);
    }
    return Placed::kReplacement;
  }
  if (backupThere && MoveWaiting(files, backup, path)) {
    RemoveOurFile(files, replacement);
    return Placed::kOriginal;
  }
  return Placed::kNeither;
}

}  // namespace

Placed RenameInPlace(FileSystem& files, const std::string& path, const std::string& replacement) {
  for (int attempt = 0;; ++attempt) {
    if (files.Move(replacement, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return Placed::kReplacement;
    const DWORD error = GetLastError();
    // A rename is whole or not at all, whatever the error code claims.
    if (Absent(files, replacement) && Present(files, path)) return Placed::kReplacement;
    if (error != ERROR_SHARING_VIOLATION || attempt == kRetries) break;
    files.Pause(kRetryPause);
  }
  RemoveOurFile(files, replacement);
  return Placed::kOriginal;
}

FileHandle CreateFileBeside(FileSystem& files, const std::string& path, std::string& created) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    created = NameBeside(path, NextNumber());
    if (created == path) continue;
    FileHandle file = files.Open(created, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return FileHandle();
}

void RemoveOurFile(FileSystem& files, const std::string& path) {
  for (int attempt = 0; !files.Remove(path) && !Absent(files, path) && attempt < kRetries; ++attempt) {
    files.Pause(kRetryPause);
  }
}

Placed PutInPlace(FileSystem& files, const std::string& path, const std::string& replacement, FileHandle* hold) {
  const std::string backup = BackupNameBeside(files, path, replacement);
  for (int attempt = 0;; ++attempt) {
    if (files.Replace(path, replacement, backup)) {
      // The hold is on the original, now under the backup's name, which stays
      // taken while the hold is open.
      if (hold != nullptr) hold->Reset();
      if (!backup.empty()) RemoveOurFile(files, backup);
      return Placed::kReplacement;
    }
    const DWORD error = GetLastError();
    if (hold != nullptr) hold->Reset();
    if (ReplaceUnsupported(error)) return MoveOver(files, path, replacement);
    const bool asItWas = Present(files, path) && Present(files, replacement) && (backup.empty() || Absent(files, backup));
    if (error != ERROR_SHARING_VIOLATION || attempt == kRetries || !asItWas) break;
    // The first refusal may have been our own hold's.
    if (attempt > 0) files.Pause(kRetryPause);
  }
  return Recover(files, path, replacement, backup);
}

}  // namespace varnex
