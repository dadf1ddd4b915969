#include "run/targetfile.h"

#include "engine/binaryfile.h"
#include "engine/bytesurvey.h"
#include "engine/error.h"
#include "engine/paths.h"
#include "engine/textlines.h"
#include "framework/handle.h"
#include "framework/safereplace.h"
#include "framework/wholefile.h"

namespace varnex {
namespace {

[[noreturn]] void CannotOpen(const std::string& path) { throw Error::Format(kCannotOpenFile, path); }

bool Unchanged(FileSystem& files, HANDLE file, const FileStamp& read) {
  FileStamp now;
  return files.Stamp(file, now) && now == read;
}

// What ReplaceFileW keeps of the original on Windows and a rename would lose:
// its attributes and creation time, set on the new file before it takes the
// original's place. A read-only file is refused, as ReplaceFileW refuses it
// (Wine lets its owner open it for writing).
bool CarryOver(FileSystem& files, HANDLE original, HANDLE replacement) {
  FILE_BASIC_INFO info;
  if (!files.BasicInfo(original, info)) return false;
  if (info.FileAttributes & FILE_ATTRIBUTE_READONLY) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  FILE_BASIC_INFO carried{};
  carried.CreationTime = info.CreationTime;
  carried.FileAttributes = info.FileAttributes;
  return files.SetBasicInfo(replacement, carried);
}

}  // namespace

TargetFile ReadTargetFile(const std::string& path, FileSystem& files) {
  TargetFile target;
  ReadTargetFileIf(path, [](const FileStamp&) { return true; }, target, files);
  return target;
}

bool ReadTargetFileIf(const std::string& path, const std::function<bool(const FileStamp&)>& wanted, TargetFile& target,
                      FileSystem& files) {
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  if (!file || !files.Stamp(file.Get(), target.stamp)) CannotOpen(path);
  if (!wanted(target.stamp)) return false;
  // Room for the line ends the line model may add (an LF file's CRs): the
  // text then grows where it lies. Memory reserved and never written costs
  // nothing.
  target.bytes.reserve(static_cast<std::size_t>(target.stamp.size + target.stamp.size / 16 + 2));
  // Surveyed piece by piece as they arrive: a big file is not walked again
  // for its encoding, its NULs and its line ends.
  ByteSurvey survey;
  if (!ReadWholeFile(files, file.Get(), target.bytes, [&survey](std::string_view piece) { survey.Add(piece); })) {
    CannotOpen(path);
  }
  // Bytes of ASCII alone carry no mark of another encoding.
  target.ascii = survey.Ascii();
  target.encoding = target.ascii ? TextEncoding::kAnsi : DetectEncoding(target.bytes);
  const bool utf16 = target.encoding == TextEncoding::kUtf16Le || target.encoding == TextEncoding::kUtf16Be;
  target.binary = survey.HoldsNul() && LooksBinary(target.bytes);
  if (target.binary) return true;
  if (utf16 ? !IsTextIn(target.bytes, target.encoding) : survey.HoldsNul()) CannotOpen(path);
  target.inLineShape = survey.InLineShape();
  return true;
}

void BackUpTargetFile(const std::string& path, const FileStamp& read, FileSystem& files) {
  // Held with other writers locked out until the copy is made.
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file || !Unchanged(files, file.Get(), read) || !files.Copy(path, path + ".bak")) CannotOpen(path);
}

FileStamp RewriteTargetFile(const std::string& path, const FileStamp& read, std::string_view bytes, FileSystem& files) {
  // A file that another program holds, or that is read-only, is refused before
  // anything is written: Wine's ReplaceFileW leaves a file of its own
  // behind when it fails late. Held without sharing deletion, the file cannot
  // be swapped for another one under the stamp checks. The run's read-ahead
  // may be letting go of it under another name at this moment: one more try.
  FileHandle target = OpenWaiting(files, path, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 1);
  if (!target || !Unchanged(files, target.Get(), read)) CannotOpen(path);
  std::string temporary;
  FileHandle file = CreateFileBeside(files, path, temporary);
  if (!file) CannotOpen(path);
  // Where ReplaceFileW keeps no more than the attributes and creation time,
  // one rename does its work: several times cheaper, and never a moment
  // without the file.
  const bool rename = !files.ReplaceKeepsMore();
  // On the disk before it takes the original's place: after a power cut the
  // path must not name a file whose bytes never got there. Its stamp tells it
  // from whatever else the path may name afterwards.
  FileStamp made;
  const bool written = WriteWholeBuffer(files, file.Get(), bytes) &&
                       (!rename || CarryOver(files, target.Get(), file.Get())) && files.Flush(file.Get()) &&
                       files.Stamp(file.Get(), made);
  // ReplaceFileW takes the new file only with no handle open on it; a rename
  // takes it held, and held, no other copy of the program takes it for a
  // leftover of an interrupted run.
  if (!rename) file.Reset();
  // Another program may have saved the file while the new text was written.
  if (!written || !Unchanged(files, target.Get(), read)) {
    file.Reset();
    RemoveOurFile(files, temporary);
    CannotOpen(path);
  }
  target.Reset();
  const Placed placed =
      rename ? RenameInPlace(files, path, temporary, made) : PutInPlace(files, path, temporary, made);
  if (placed != Placed::kReplacement) CannotOpen(path);
  return made;
}

}  // namespace varnex
