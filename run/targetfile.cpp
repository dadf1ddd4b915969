#include "run/targetfile.h"

#include "engine/error.h"
#include "engine/paths.h"
#include "engine/textlines.h"
#include "framework/handle.h"
#include "framework/wholefile.h"
#include "run/safereplace.h"

namespace varnex {
namespace {

[[noreturn]] void CannotOpen(const std::string& path) { throw Error::Format(kCannotOpenFile, path); }

bool Unchanged(FileSystem& files, HANDLE file, const FileStamp& read) {
  FileStamp now;
  return files.Stamp(file, now) && now == read;
}

}  // namespace

TargetFile ReadTargetFile(const std::string& path, FileSystem& files) {
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  TargetFile target;
  if (!file || !files.Stamp(file.Get(), target.stamp) || !ReadWholeFile(files, file.Get(), target.bytes)) {
    CannotOpen(path);
  }
  target.encoding = DetectEncoding(target.bytes);
  if (!IsTextIn(target.bytes, target.encoding)) CannotOpen(path);
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
  FileHandle file = CreateFileBeside(files, path, temporary);
  if (!file) CannotOpen(path);
  const bool written = WriteWholeBuffer(files, file.Get(), bytes);
  file.Reset();
  // Another program may have saved the file while the new text was written.
  if (!written || !Unchanged(files, target.Get(), read)) {
    RemoveOurFile(files, temporary);
    CannotOpen(path);
  }
  target.Reset();
  if (PutInPlace(files, path, temporary) != Placed::kReplacement) CannotOpen(path);
}

}  // namespace varnex
