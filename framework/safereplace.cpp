#include "framework/safereplace.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/paths.h"

namespace varnex {
namespace {

// The longest path the wide calls take in the "\\?\" form, less that form's
// longest prefix ("\\?\UNC\"). Paths are measured in UTF-8 bytes, never fewer
// than their UTF-16 units, so a name made to fit here fits there.
constexpr std::size_t kLongestPath = 32767 - 8;
constexpr int kNameAttempts = 100;
// Another program (a virus scanner, a second copy of ours) may hold a file for
// a moment; a move or removal waits about a second for it.
constexpr int kRetries = 40;
constexpr DWORD kRetryPause = 25;  // milliseconds

// New files are "~vnx1a2b.tmp"; where ReplaceFileW moves the original aside is
// "~vnx1a2b.old". A run that ends by force between ReplaceFileW's steps may
// leave the original only there, so that name is never taken for a leftover.
constexpr char kNewFile[] = ".tmp";
constexpr char kMovedAside[] = ".old";

// "~vnx1a2b" and `extension`, or where the folder leaves less room, a name of
// the file's own length ("~1a2b" beside "a.txt"). Names are made here rather
// than by GetTempFileNameW, which would create the file only for it to be
// opened again.
std::string NameBeside(const std::string& path, unsigned number, const char* extension) {
  const std::size_t nameLength = ExtractFileName(path).size();
  const std::string folder = path.substr(0, path.size() - nameLength);
  const std::size_t room = kLongestPath > folder.size() ? kLongestPath - folder.size() : 0;
  char digits[16];
  if (room >= 12) {
    std::snprintf(digits, sizeof digits, "%04x", number & 0xFFFF);
    return folder + "~vnx" + digits + extension;
  }
  const std::size_t length = std::clamp<std::size_t>(std::max(room, nameLength), 1, 11);
  std::snprintf(digits, sizeof digits, "%010x", number);
  return folder + (length == 1 ? std::string(1, digits[9]) : "~" + std::string(digits + 11 - length));
}

unsigned NextNumber() {
  static unsigned counter = GetTickCount();
  return ++counter;
}

// A file of ours made new beside `path` (never one that is there already, which
// may be someone else's), open for writing with deletion shared.
FileHandle CreateNamedBeside(FileSystem& files, const std::string& path, const char* extension, std::string& created) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    created = NameBeside(path, NextNumber(), extension);
    if (created == path) continue;
    FileHandle file = files.Open(created, GENERIC_WRITE, FILE_SHARE_DELETE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return FileHandle();
}

// "~vnx1a2b.tmp", letter case aside.
bool MadeBeside(const std::string& name) {
  const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  return name.size() == 12 && _strnicmp(name.c_str(), "~vnx", 4) == 0 &&
         std::all_of(name.begin() + 4, name.begin() + 8, hex) && _strnicmp(name.c_str() + 8, kNewFile, 4) == 0;
}

bool Absent(FileSystem& files, const std::string& path) {
  if (files.Attributes(path) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool Present(FileSystem& files, const std::string& path) { return files.Attributes(path) != INVALID_FILE_ATTRIBUTES; }

// Whether `path` names the file stamped `made` now: the same number on the
// volume and the same size (and where the file system numbers no files, the
// same last write). Only a rename moves a file's number to another name; the
// number of a file removed may be given to a new one, its size hardly.
bool Holds(FileSystem& files, const std::string& path, const FileStamp& made) {
  const FileHandle file = OpenForAttributes(files, path);
  FileStamp now;
  return file && files.Stamp(file.Get(), now) && now.index == made.index && now.size == made.size &&
         (made.index != 0 || now.lastWrite == made.lastWrite);
}

// Whether `path` still names the file stamped `original`, where one is given.
bool StillOriginal(FileSystem& files, const std::string& path, const FileStamp* original) {
  if (original == nullptr) return true;
  const FileHandle file = OpenForAttributes(files, path);
  FileStamp now;
  return file && files.Stamp(file.Get(), now) && now == *original;
}

// Where ReplaceFileW moves the original while the replacement takes its place:
// a name made new, its empty file left for ReplaceFileW to replace, so that
// nothing but our own reservation can be at that name (a name that was free a
// moment ago may be another copy's new file by now). Its stamp goes to
// `reserved`. Empty when none can be made; the replace then goes without one.
std::string ReserveBackupBeside(FileSystem& files, const std::string& path, FileStamp& reserved) {
  std::string name;
  FileHandle file = CreateNamedBeside(files, path, kMovedAside, name);
  if (!file) return {};
  const bool stamped = files.Stamp(file.Get(), reserved);
  file.Reset();
  if (stamped) return name;
  RemoveOurFile(files, name);
  return {};
}

// Whether ReplaceFileW has moved the original to `backup`; where it has not,
// our reservation there is removed.
bool MovedAside(FileSystem& files, const std::string& backup, const FileStamp& reserved) {
  if (backup.empty() || !Present(files, backup)) return false;
  if (!Holds(files, backup, reserved)) return true;
  RemoveOurFile(files, backup);
  return false;
}

bool MoveWaiting(FileSystem& files, const std::string& from, const std::string& to) {
  for (int attempt = 0;; ++attempt) {
    // Never over a file: whatever sits at `to` now is someone's.
    if (files.Move(from, to, MOVEFILE_WRITE_THROUGH)) return true;
    if (attempt == kRetries) return false;
    files.Pause(kRetryPause);
  }
}

// Where ReplaceFileW cannot work at all (file systems without it), a plain
// replace has to do; a refusal such as a read-only target is final.
bool ReplaceUnsupported(DWORD error) {
  return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED;
}

Placed MoveOver(FileSystem& files, const std::string& path, const std::string& replacement, const FileStamp& made) {
  const DWORD attributes = files.Attributes(path);
  const Placed placed = RenameInPlace(files, path, replacement, made);
  if (placed == Placed::kReplacement && attributes != INVALID_FILE_ATTRIBUTES) files.SetAttributes(path, attributes);
  return placed;
}

// After a failed ReplaceFileW the three names tell how far it got, whatever
// its error code claims.
Placed Recover(FileSystem& files, const std::string& path, const std::string& replacement, const FileStamp& made,
               const std::string& backup, const FileStamp& reserved) {
  const bool aside = MovedAside(files, backup, reserved);
  if (Holds(files, path, made)) {  // it went in after all
    if (aside) RemoveOurFile(files, backup);
    return Placed::kReplacement;
  }
  if (!aside && Present(files, path)) {
    // The original never left; the new file may have gone meanwhile.
    RemoveOurFile(files, replacement);
    return Placed::kOriginal;
  }
  if (Present(files, path)) return Placed::kNeither;
  // Nothing at the path (ERROR_UNABLE_TO_MOVE_REPLACEMENT and _2): the new
  // text goes there, else the original goes back; neither is removed before
  // the other stands in place.
  if (Holds(files, replacement, made) && MoveWaiting(files, replacement, path)) {
    if (aside) {
      const DWORD attributes = files.Attributes(backup);
      if (attributes != INVALID_FILE_ATTRIBUTES) files.SetAttributes(path, attributes);
      RemoveOurFile(files, backup);
    }
    return Placed::kReplacement;
  }
  if (aside && MoveWaiting(files, backup, path)) {
    RemoveOurFile(files, replacement);
    return Placed::kOriginal;
  }
  return Placed::kNeither;
}

}  // namespace

FileHandle OpenWaiting(FileSystem& files, const std::string& path, DWORD access, DWORD share, DWORD disposition,
                       int retries) {
  for (int attempt = 0;; ++attempt) {
    FileHandle file = files.Open(path, access, share, disposition, FILE_ATTRIBUTE_NORMAL);
    if (file || GetLastError() != ERROR_SHARING_VIOLATION || attempt == retries) return file;
    files.Pause(kRetryPause);
  }
}

Placed RenameInPlace(FileSystem& files, const std::string& path, const std::string& replacement,
                     const FileStamp& made, const FileStamp* original) {
  for (int attempt = 0;; ++attempt) {
    if (files.Move(replacement, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return Placed::kReplacement;
    const DWORD error = GetLastError();
    // A rename is whole or not at all, whatever the error code claims.
    if (Holds(files, path, made)) return Placed::kReplacement;
    if (error != ERROR_SHARING_VIOLATION || attempt == kRetries) break;
    files.Pause(kRetryPause);
    // Whoever held the file may have saved it meanwhile.
    if (!StillOriginal(files, path, original)) break;
  }
  RemoveOurFile(files, replacement);
  return Placed::kOriginal;
}

FileHandle CreateFileBeside(FileSystem& files, const std::string& path, std::string& created) {
  return CreateNamedBeside(files, path, kNewFile, created);
}

void RemoveOurFile(FileSystem& files, const std::string& path) {
  for (int attempt = 0; !files.Remove(path) && !Absent(files, path) && attempt < kRetries; ++attempt) {
    files.Pause(kRetryPause);
  }
}

void RemoveLeftoverTemporaries(FileSystem& files, const std::string& folder) {
  const std::string prefix = folder.ends_with('\\') ? folder : folder + '\\';
  std::vector<std::string> names;
  if (!files.FindNames(prefix + "~vnx????" + kNewFile, names)) return;
  for (const std::string& name : names) {
    // The pattern lets shorter names through too.
    if (!MadeBeside(name)) continue;
    // Open for deletion with nothing shared, it opens only where nobody has it
    // open, and goes as it closes.
    const FileHandle leftover = files.Open(prefix + name, DELETE, 0, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE);
  }
}

Placed PutInPlace(FileSystem& files, const std::string& path, const std::string& replacement, const FileStamp& made,
                  FileHandle* hold, const FileStamp* original) {
  FileStamp reserved;
  const std::string backup = ReserveBackupBeside(files, path, reserved);
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
    if (ReplaceUnsupported(error)) {
      MovedAside(files, backup, reserved);  // nothing was moved: our reservation goes
      return MoveOver(files, path, replacement, made);
    }
    // Whoever held the file may have saved it meanwhile.
    const bool asItWas = Present(files, path) && Present(files, replacement) &&
                         (backup.empty() || Holds(files, backup, reserved)) && StillOriginal(files, path, original);
    if (error != ERROR_SHARING_VIOLATION || attempt == kRetries || !asItWas) break;
    // The first refusal may have been our own hold's.
    if (attempt > 0) files.Pause(kRetryPause);
  }
  return Recover(files, path, replacement, made, backup, reserved);
}

}  // namespace varnex
