#include "run/targetfile.h"

#include <algorithm>

#include "engine/binaryfile.h"
#include "engine/bytesurvey.h"
#include "engine/error.h"
#include "engine/paths.h"
#include "engine/textlines.h"
#include "framework/handle.h"
#include "framework/safereplace.h"
#include "framework/wholefile.h"
#include "run/failurereason.h"

namespace varnex {
namespace {

// Raised with the reason the failed call left in GetLastError: read it before
// anything else is called.
[[noreturn]] void CannotOpen(const std::string& path, FileSystem& files) {
  throw CannotOpenFile(path, GetLastError(), files);
}
[[noreturn]] void CannotOpen(const std::string& path, FailureReason reason) {
  throw Error::Format(kCannotOpenFile, path).Because(reason);
}

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

// The original's last-write time (FILE_BASIC_INFO's LastWriteTime, the
// other times left as they are), set once every byte is written: a later
// write would move it again.
bool KeepLastWrite(FileSystem& files, HANDLE replacement, const FileStamp& read) {
  FILE_BASIC_INFO kept{};
  kept.LastWriteTime.QuadPart = static_cast<LONGLONG>(read.lastWrite);
  return files.SetBasicInfo(replacement, kept);
}

// The new file's bytes over the original's, through `target` (held, checked
// unchanged and writable): the file keeps its number, names and links. Grown
// to its new length first, so a full disk refuses it before a byte changes.
FileStamp WriteInPlace(NewTargetFile& written, FileHandle& target, FileSystem& files) {
  const std::string& path = written.path;
  const ULONGLONG size = written.made.size;
  if (size > written.read.size && !files.SetEnd(target.Get(), size)) CannotOpen(path, files);
  // From the start again, through a handle of its own.
  const FileHandle writer = files.Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!writer) CannotOpen(path, files);
  std::string piece(static_cast<std::size_t>(std::min<ULONGLONG>(size, 1 << 20)), '\0');
  for (ULONGLONG offset = 0; offset < size;) {
    DWORD read = 0, wrote = 0;
    if (!files.ReadAt(written.file.Get(), offset, piece.data(), static_cast<DWORD>(piece.size()), read) || read == 0 ||
        !files.Write(writer.Get(), piece.data(), read, wrote) || wrote != read) {
      CannotOpen(path, files);
    }
    offset += read;
  }
  // The new file's last write, the original's where it was kept.
  FILE_BASIC_INFO made, lastWrite{};
  FileStamp stamp;
  if (!files.SetEnd(writer.Get(), size) || !files.BasicInfo(written.file.Get(), made)) CannotOpen(path, files);
  lastWrite.LastWriteTime = made.LastWriteTime;
  if (!files.SetBasicInfo(writer.Get(), lastWrite) || !files.Flush(writer.Get()) || !files.Stamp(writer.Get(), stamp)) {
    CannotOpen(path, files);
  }
  target.Reset();
  DiscardTargetFile(written, files);
  return stamp;
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
  if (!file || !files.Stamp(file.Get(), target.stamp)) CannotOpen(path, files);
  if (!wanted(target.stamp)) return false;
  if (!files.Links(file.Get(), target.names)) target.names = 1;
  // Room for the line ends the line model may add (an LF file's CRs): the
  // text then grows where it lies. Memory reserved and never written costs
  // nothing.
  target.bytes.reserve(static_cast<std::size_t>(target.stamp.size + target.stamp.size / 16 + 2));
  // Surveyed piece by piece as they arrive: a big file is not walked again
  // for its encoding, its NULs and its line ends.
  ByteSurvey survey;
  if (!ReadWholeFile(files, file.Get(), target.bytes, [&survey](std::string_view piece) { survey.Add(piece); })) {
    CannotOpen(path, files);
  }
  // Bytes of ASCII alone carry no mark of another encoding.
  target.ascii = survey.Ascii();
  target.encoding = target.ascii ? TextEncoding::kAnsi : DetectEncoding(target.bytes);
  const bool utf16 = target.encoding == TextEncoding::kUtf16Le || target.encoding == TextEncoding::kUtf16Be;
  target.binary = survey.HoldsNul() && LooksBinary(target.bytes);
  if (target.binary) return true;
  if (utf16 ? !IsTextIn(target.bytes, target.encoding) : survey.HoldsNul()) {
    CannotOpen(path, FailureReason::kBinaryData);
  }
  target.inLineShape = survey.InLineShape();
  return true;
}

void BackUpTargetFile(const std::string& path, const FileStamp& read, FileSystem& files) {
  // Held with other writers locked out until the copy is made.
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file) CannotOpen(path, files);
  if (!Unchanged(files, file.Get(), read)) CannotOpen(path, FailureReason::kChangedMeanwhile);
  if (!files.Copy(path, path + ".bak")) {
    throw Error::Format(kCannotOpenFile, path)
        .Because(FailureReason::kOther, "The backup copy " + path + ".bak could not be made");
  }
}

FileStamp RewriteTargetFile(const std::string& path, const FileStamp& read, std::string_view bytes, FileSystem& files,
                            bool keepLastWrite, const TemporaryRecord& record, DWORD names,
                            const InPlaceRecord& recordInPlace) {
  NewTargetFile written = WriteBesideTargetFile(path, read, bytes, false, files, keepLastWrite, record);
  written.names = names;
  return PutTargetFileInPlace(written, files, recordInPlace);
}

NewTargetFile WriteBesideTargetFile(const std::string& path, const FileStamp& read, std::string_view bytes,
                                    bool writeOut, FileSystem& files, bool keepLastWrite,
                                    const TemporaryRecord& record) {
  NewTargetFile written;
  written.path = path;
  written.read = read;
  written.file = CreateFileBeside(files, path, written.temporary, record);
  if (!written.file) CannotOpen(path, files);
  // On the disk before it takes the original's place: after a power cut the
  // path must not name a file whose bytes never got there. Written out only,
  // it gets there with the next flush on its volume. Its stamp tells it from
  // whatever else the path may name afterwards.
  bool stored = WriteWholeBuffer(files, written.file.Get(), bytes) &&
                (!keepLastWrite || KeepLastWrite(files, written.file.Get(), read));
  if (stored && writeOut) {
    FileIdentity volume;
    written.writtenOut = files.WriteOut(written.file.Get()) && files.Identity(written.file.Get(), volume);
    written.volume = volume.volume;
  }
  stored = stored && (written.writtenOut || files.Flush(written.file.Get()));
  if (!stored || !files.Stamp(written.file.Get(), written.made)) {
    const Error failure = CannotOpenFile(path, GetLastError(), files);
    DiscardTargetFile(written, files);
    throw failure;
  }
  return written;
}

FileStamp PutTargetFileInPlace(NewTargetFile& written, FileSystem& files, const InPlaceRecord& recordInPlace) {
  const std::string& path = written.path;
  // A file that another program holds, or that is read-only, is refused
  // before it is replaced: Wine's ReplaceFileW leaves a file of its own
  // behind when it fails late. Held without sharing deletion, the file cannot
  // be swapped for another one under the stamp check. The run's read-ahead
  // may be letting go of it under another name at this moment: one more try.
  FileHandle target = OpenWaiting(files, path, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 1);
  // Where ReplaceFileW keeps no more than the attributes and creation time,
  // one rename does its work: several times cheaper, and never a moment
  // without the file. (A file system that journals its names keeps the
  // attributes set before the rename whenever it keeps the rename.)
  const bool rename = !files.ReplaceKeepsMore();
  // Another program may have saved the file since it was read.
  const bool changed = target && !Unchanged(files, target.Get(), written.read);
  if (!target || changed || (rename && !CarryOver(files, target.Get(), written.file.Get()))) {
    const Error failure = changed ? Error::Format(kCannotOpenFile, path).Because(FailureReason::kChangedMeanwhile)
                                  : CannotOpenFile(path, GetLastError(), files);
    target.Reset();
    DiscardTargetFile(written, files);
    throw failure;
  }
  DWORD names = written.names;
  if (names == 0 && !files.Links(target.Get(), names)) names = 1;
  if (names > 1 || ReachedThroughLink(files, target.Get(), path)) {
    try {
      if (recordInPlace && !recordInPlace(path)) CannotOpen(path, files);
      return WriteInPlace(written, target, files);
    } catch (const Error&) {
      target.Reset();
      DiscardTargetFile(written, files);
      throw;
    }
  }
  // ReplaceFileW takes the new file only with no handle open on it; a rename
  // takes it held, and held, no other copy of the program takes it for a
  // leftover of an interrupted run.
  if (!rename) written.file.Reset();
  target.Reset();
  const Placed placed = rename ? RenameInPlace(files, path, written.temporary, written.made, &written.read)
                               : PutInPlace(files, path, written.temporary, written.made, nullptr, &written.read);
  written.file.Reset();
  if (placed != Placed::kReplacement) CannotOpen(path, files);
  return written.made;
}

// The rewrite's own open, let go at once (an open for writing changes nothing
// by itself). Wine lets the owner open a read-only file for writing: its
// attribute is looked at too.
void CheckRewritable(const std::string& path, FileSystem& files) {
  const FileHandle target =
      files.Open(path, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
  if (!target) CannotOpen(path, files);
  FILE_BASIC_INFO info;
  if (files.BasicInfo(target.Get(), info) && (info.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
    CannotOpen(path, FailureReason::kReadOnly);
  }
}

void DiscardTargetFile(NewTargetFile& written, FileSystem& files) {
  written.file.Reset();
  RemoveOurFile(files, written.temporary);
}

}  // namespace varnex
