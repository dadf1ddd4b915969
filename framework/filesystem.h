#pragma once
// The file calls that rewriting a file and keeping the activity log make, behind
// one interface, so a test can make any one of them fail as a full disk, a
// virus scanner or a dying network share would. Each behaves as its Win32
// namesake: false or an empty handle on failure, the reason in GetLastError.
// Paths are UTF-8 and may be as long as Windows allows; the system calls are
// the wide ones, given each path through WidePath.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/handle.h"

namespace varnex {

// What tells one state of a file from another: a program that saved it, or put
// another file in its place, changed at least one of these.
struct FileStamp {
  ULONGLONG size = 0;
  ULONGLONG lastWrite = 0;
  ULONGLONG index = 0;  // the file's number on its volume

  bool operator==(const FileStamp&) const = default;
};

// What tells one file from every other: its volume and its number there, the
// same whatever name the file is reached by.
struct FileIdentity {
  ULONGLONG volume = 0;   // the volume's serial number
  BYTE number[16] = {};   // 128 bits where the file system has them (ReFS), else 64 and zeros

  bool operator==(const FileIdentity&) const = default;
};

class FileSystem {
 public:
  virtual FileHandle Open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) = 0;
  virtual bool Read(HANDLE file, void* buffer, DWORD size, DWORD& read) = 0;
  virtual bool Write(HANDLE file, const void* buffer, DWORD size, DWORD& written) = 0;
  // FlushFileBuffers: the file's data and metadata on the disk itself, the
  // drive's write cache emptied too (on NTFS that costs milliseconds).
  virtual bool Flush(HANDLE file) = 0;
  // NtFlushBuffersFileEx with FLUSH_FLAGS_NO_SYNC: the file's data and
  // metadata handed to the drive without emptying its write cache, so that a
  // later Flush of any file on the same volume takes them to the disk with
  // its own. False with ERROR_CALL_NOT_IMPLEMENTED where the system has no
  // such call (Windows 7, Wine 8), or with the file system's refusal.
  virtual bool WriteOut(HANDLE file) = 0;
  virtual bool Size(HANDLE file, LARGE_INTEGER& size) = 0;
  // GetFileSizeEx, GetFileTime and the file's index.
  virtual bool Stamp(HANDLE file, FileStamp& stamp) = 0;
  // ReplaceFileW; an empty `backup` asks for none.
  virtual bool Replace(const std::string& replaced, const std::string& replacement, const std::string& backup) = 0;
  virtual bool Move(const std::string& from, const std::string& to, DWORD flags) = 0;
  // Over an older `to`.
  virtual bool Copy(const std::string& from, const std::string& to) = 0;
  // CreateHardLinkW: a second name `link` for the file at `existing`.
  virtual bool Link(const std::string& existing, const std::string& link) = 0;
  virtual bool Remove(const std::string& path) = 0;
  virtual DWORD Attributes(const std::string& path) = 0;
  virtual bool SetAttributes(const std::string& path, DWORD attributes) = 0;
  // GetFileAttributesExW: the size and last write of the file at `path`, its
  // index left 0; a look without opening the file.
  virtual bool PathStamp(const std::string& path, FileStamp& stamp) = 0;
  // GetFileInformationByHandleEx and SetFileInformationByHandle with
  // FILE_BASIC_INFO: the times and attributes of an open file (a time of 0 is
  // left as it is).
  virtual bool BasicInfo(HANDLE file, FILE_BASIC_INFO& info) = 0;
  virtual bool SetBasicInfo(HANDLE file, const FILE_BASIC_INFO& info) = 0;
  // Whether ReplaceFileW carries more of the file it replaces than a rename
  // over it would, once the attributes and creation time are set on the new
  // file: the security, named streams, short name and object id on Windows.
  // Under Wine it is a rename that keeps none of these (nor the attributes and
  // creation time), at the cost of several renames.
  virtual bool ReplaceKeepsMore() = 0;
  // Waiting for another program to let go of a file.
  virtual void Pause(DWORD milliseconds) = 0;
  // ReadFile from `offset` on.
  virtual bool ReadAt(HANDLE file, ULONGLONG offset, void* buffer, DWORD size, DWORD& read) = 0;
  // The file ends at `size`, and the next write through `file` goes there.
  virtual bool SetEnd(HANDLE file, ULONGLONG size) = 0;
  // CreateDirectoryW and RemoveDirectoryW (an empty folder only).
  virtual bool MakeFolder(const std::string& path) = 0;
  virtual bool RemoveFolder(const std::string& path) = 0;
  // GetFileInformationByHandleEx with FILE_ID_INFO (GetFileInformationByHandle
  // before Windows 8 and where a file system has no such numbers). The
  // volume's serial number costs Wine a read of the device, a third of a
  // millisecond.
  virtual bool Identity(HANDLE file, FileIdentity& identity) = 0;
  // FindFirstFileW and FindNextFileW: the names in a folder that match
  // `pattern` (a path whose last part may hold * and ?), none where nothing
  // matches; false when the folder cannot be listed.
  virtual bool FindNames(const std::string& pattern, std::vector<std::string>& names) = 0;
  // GetFileInformationByHandleEx with FILE_STANDARD_INFO: how many names
  // (hard links) the file has.
  virtual bool Links(HANDLE file, DWORD& links);

 protected:
  ~FileSystem() = default;
};

// The Win32 calls themselves.
FileSystem& SystemFileSystem();

// `path` opened with FILE_READ_ATTRIBUTES alone and FILE_SHARE_READ | WRITE |
// DELETE: a handle for the file's times and identity that no other open
// conflicts with.
FileHandle OpenForAttributes(FileSystem& files, const std::string& path);

// The full path Windows makes of `path` (GetFullPathNameW, no file access),
// or `path` itself where it makes none.
std::string FullPathName(const std::string& path);

}  // namespace varnex
