#pragma once
// Reading and rewriting the files a batch run works on. Every failure raises
// an error; the run reports it for the file in hand and goes on.

#include <functional>
#include <string>
#include <string_view>

#include "engine/encoding.h"
#include "framework/filesystem.h"
#include "framework/handle.h"
#include "framework/safereplace.h"

namespace varnex {

struct TargetFile {
  std::string bytes;
  FileStamp stamp;
  TextEncoding encoding = TextEncoding::kAnsi;
  // No byte above 127, told while the bytes were read.
  bool ascii = false;
  // The bytes are already what the line model makes of them (every line
  // ended by CR LF, no NUL), told while they were read.
  bool inLineShape = false;
  // A program, a picture, an archive (engine/binaryfile.h): no run touches it.
  bool binary = false;
  // The names (hard links) the file went by when read.
  DWORD names = 1;
};

// The whole file, read with other writers locked out, and its encoding. A
// binary file is told as such; another file that holds a NUL where its
// encoding allows none (UTF-16 without a mark) is refused.
TargetFile ReadTargetFile(const std::string& path, FileSystem& files = SystemFileSystem());
// The same where `wanted` takes the file's stamp, looked at once the file is
// open and held; false, with nothing read, where it does not.
bool ReadTargetFileIf(const std::string& path, const std::function<bool(const FileStamp&)>& wanted, TargetFile& target,
                      FileSystem& files = SystemFileSystem());

// Copies the file to its path with ".bak" appended, over an older backup,
// unless it has changed since it was read.
void BackUpTargetFile(const std::string& path, const FileStamp& read, FileSystem& files = SystemFileSystem());

// Raises the error RewriteTargetFile would meet at its start, with nothing
// written: a read-only file, one another program holds, one the user may not
// write.
void CheckRewritable(const std::string& path, FileSystem& files = SystemFileSystem());

// Told the path of a file with other names, or reached through a symbolic
// link, before it is written over in place (see PutTargetFileInPlace): a
// write cut off there leaves it part old, part new, so whoever keeps its
// original must be able to tell that it was begun. False, GetLastError saying
// why, where the write must not begin.
using InPlaceRecord = std::function<bool(const std::string& path)>;

// Replaces the file's content with `bytes`, unless it has changed since it was
// read, without ever leaving it half written: the bytes go to a new file in
// the same folder, on the disk before it takes the original's place and
// attributes. The path ends holding the original or the whole new text, and
// an error is raised unless it is the new text. (Where neither file can be
// moved back into place, both stay beside it: they are then the only copies.)
// Gives the stamp of the new file, which the path names from then on. With
// `keepLastWrite` the new file takes the original's last-write time; the new
// file's name is told to `record` before it is made (see TemporaryRecord).
// `names` as NewTargetFile's: after a run kept the original by a second name
// in the undo store, the names it went by when read. `recordInPlace` as
// PutTargetFileInPlace's.
FileStamp RewriteTargetFile(const std::string& path, const FileStamp& read, std::string_view bytes,
                            FileSystem& files = SystemFileSystem(), bool keepLastWrite = false,
                            const TemporaryRecord& record = nullptr, DWORD names = 0,
                            const InPlaceRecord& recordInPlace = nullptr);

// RewriteTargetFile in two halves, so that many files can be written and
// reach the disk with one flush before any of them takes its original's
// place. A new file written beside the file it is to replace, held open (no
// other copy of the program can take it for a leftover) until it goes in
// place or is removed.
struct NewTargetFile {
  std::string path;       // the file it is to replace
  FileStamp read;         // that file as it was read
  std::string temporary;  // the new file's own name
  FileHandle file;
  FileStamp made;
  // Only written out (FileSystem::WriteOut): on the disk once a later Flush
  // on its volume has emptied the drive's cache, not before.
  bool writtenOut = false;
  ULONGLONG volume = 0;  // its volume's serial number, known where written out
  // The names the file went by when read; 0 where they are counted as it
  // goes in place.
  DWORD names = 0;
};

// The first half: `bytes` in a new file beside `path`, flushed to the disk,
// or with `writeOut` only written out to the drive where the system can do
// that. Raises an error where it cannot be written, leaving nothing behind.
// With `keepLastWrite` the new file takes the original's last-write time.
NewTargetFile WriteBesideTargetFile(const std::string& path, const FileStamp& read, std::string_view bytes,
                                    bool writeOut, FileSystem& files = SystemFileSystem(),
                                    bool keepLastWrite = false, const TemporaryRecord& record = nullptr);
// The second half, once the new file is on the disk: it takes the place and
// attributes of the file at `path` unless that has changed since it was read,
// as RewriteTargetFile's end. A file with other names (hard links), or reached
// through a symbolic link, is written over in place instead, so that every
// name shows the new text and a link stays a link: only once its original is
// safe in the undo store, for a write in place is not whole at every moment,
// and only once `recordInPlace` (where given) has been told.
FileStamp PutTargetFileInPlace(NewTargetFile& written, FileSystem& files = SystemFileSystem(),
                               const InPlaceRecord& recordInPlace = nullptr);
// A new file that is not to go in place after all: removed.
void DiscardTargetFile(NewTargetFile& written, FileSystem& files = SystemFileSystem());

}  // namespace varnex
