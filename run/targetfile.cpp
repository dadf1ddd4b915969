#include "run/targetfile.h"

#include <cstdio>

#include "engine/error.h"
#include "engine/paths.h"
#include "run/textlines.h"
#include "run/wholefile.h"
#include "shell/handle.h"

namespace varnex {
namespace {

[[noreturn]] void CannotOpen(const std::string& path) { throw Error::Format(kCannotOpenFile, path); }

bool Unchanged(FileSystem& files, HANDLE file, const FileStamp& read) {
  FileStamp now;
  return files.Stamp(file, now) && now == read;
}

// A new file of our own beside the target, open for writing. Its name is made
// here rather than by GetTempFileNameA, which would create it only for it to
// be opened again.
FileHandle CreateTemporaryBeside(FileSystem& files, const std::string& path, std::string& temporary) {
  static unsigned counter = GetTickCount();
  std::string folder(ExtractFileDir(path));
  if (!folder.empty() && folder.back() != '\\' && folder.back() != ':') folder += '\\';
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "~vnx%04x.tmp", ++counter & 0xFFFF);
    temporary = folder + name;
    FileHandle file = files.Open(temporary, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return FileHandle();
}

// Where ReplaceFileA cannot work at all (file systems without it), a plain
// replace has to do; a refusal such as a read-only target is final.
bool ReplaceUnsupported(DWORD error) {
  return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace

TargetFile ReadTargetFile(const std::string& path, FileSystem& files) {
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  TargetFile target;
  if (!file || !files.Stamp(file.Get(), target.stamp) || !ReadWholeFile(files, file.Get(), target.bytes)) {
    CannotOpen(path);
  }
  if (TextBeforeNul(target.bytes).size() != target.bytes.size()) CannotOpen(path);
  return target;
}

void BackUpTargetFile(const std::string& path, const FileStamp& read, FileSystem& files) {
  // Held with other writers locked out until the copy is made.
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file || !Unchanged(files, file.Get(), read) || !files.Copy(path, path + ".bak")) CannotOpen(path);
}

void RewriteTargetFile(const std::string& path, const FileStamp& read, std::string_view bytes, FileSystem& files) {
  // A file that another program holds, or that is read-only, is refused before
  // anything is written: some platforms' ReplaceFileA leave a file of their own
  // behind when they fail late. Held without sharing deletion, the file cannot
  // be swapped for another one under the stamp checks.
  FileHandle target = files.Open(path, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!target || !Unchanged(files, target.Get(), read)) CannotOpen(path);
  std::string temporary;
  bool written = false;
  {
    const FileHandle file = CreateTemporaryBeside(files, path, temporary);
    if (!file) CannotOpen(path);
    written = WriteWholeBuffer(files, file.Get(), bytes);
  }
  // Another program may have saved the file while the new text was written.
  if (written && Unchanged(files, target.Get(), read)) {
    target.Reset();
    if (files.Replace(path, temporary, {})) return;
    if (ReplaceUnsupported(GetLastError()) &&
        files.Move(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return;
    }
  }
  files.Remove(temporary);
  CannotOpen(path);
}

}  // namespace varnex
