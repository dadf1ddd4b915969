#pragma once
// Reading and rewriting the files a batch run works on. Every failure raises
// an error; the run reports it for the file in hand and goes on.

#include <functional>
#include <string>
#include <string_view>

#include "engine/encoding.h"
#include "framework/filesystem.h"

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

// Replaces the file's content with `bytes`, unless it has changed since it was
// read, without ever leaving it half written: the bytes go to a new file in
// the same folder, on the disk before it takes the original's place and
// attributes. The path ends holding the original or the whole new text, and
// an error is raised unless it is the new text. (Where neither file can be
// moved back into place, both stay beside it: they are then the only copies.)
// Gives the stamp of the new file, which the path names from then on.
FileStamp RewriteTargetFile(const std::string& path, const FileStamp& read, std::string_view bytes,
                            FileSystem& files = SystemFileSystem());

}  // namespace varnex
