#include "framework/filesystem.h"

#include <winternl.h>

#include <cstring>

#include "framework/unicode.h"

namespace varnex {
namespace {

ULONGLONG Combined(DWORD high, DWORD low) { return (ULONGLONG{high} << 32) | low; }

// NtFlushBuffersFileEx, which the headers lack; Windows 8 and later.
using FlushBuffersFileEx = NTSTATUS(NTAPI*)(HANDLE file, ULONG flags, PVOID parameters, ULONG size,
                                             PIO_STATUS_BLOCK status);
constexpr ULONG kFlushFlagsNoSync = 0x2;  // FLUSH_FLAGS_NO_SYNC

FlushBuffersFileEx FlushWithFlags() {
  static const auto call = reinterpret_cast<FlushBuffersFileEx>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtFlushBuffersFileEx")));
  return call;
}

class SystemCalls final : public FileSystem {
 public:
  FileHandle Open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
    return FileHandle(CreateFileW(WidePath(path).c_str(), access, share, nullptr, disposition, flags, nullptr));
  }
  bool Read(HANDLE file, void* buffer, DWORD size, DWORD& read) override {
    return ReadFile(file, buffer, size, &read, nullptr) != FALSE;
  }
  bool Write(HANDLE file, const void* buffer, DWORD size, DWORD& written) override {
    return WriteFile(file, buffer, size, &written, nullptr) != FALSE;
  }
  bool Flush(HANDLE file) override { return FlushFileBuffers(file) != FALSE; }
  bool WriteOut(HANDLE file) override {
    const FlushBuffersFileEx flush = FlushWithFlags();
    if (flush == nullptr) {
      SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
      return false;
    }
    IO_STATUS_BLOCK status;
    const NTSTATUS result = flush(file, kFlushFlagsNoSync, nullptr, 0, &status);
    if (result < 0) {
      SetLastError(RtlNtStatusToDosError(result));
      return false;
    }
    return true;
  }
  bool Size(HANDLE file, LARGE_INTEGER& size) override { return GetFileSizeEx(file, &size) != FALSE; }
  // Not GetFileInformationByHandle: its volume serial number costs Wine a read
  // of the device, a third of a millisecond per file, where these take a
  // microsecond. The handles compared are opened on one path seconds apart.
  bool Stamp(HANDLE file, FileStamp& stamp) override {
    LARGE_INTEGER size;
    FILETIME lastWrite;
    IO_STATUS_BLOCK status;
    FILE_INTERNAL_INFORMATION internal;
    if (!GetFileSizeEx(file, &size) || !GetFileTime(file, nullptr, nullptr, &lastWrite)) return false;
    const NTSTATUS result = NtQueryInformationFile(file, &status, &internal, sizeof internal, FileInternalInformation);
    if (result < 0) {
      SetLastError(RtlNtStatusToDosError(result));
      return false;
    }
    stamp.size = static_cast<ULONGLONG>(size.QuadPart);
    stamp.lastWrite = Combined(lastWrite.dwHighDateTime, lastWrite.dwLowDateTime);
    stamp.index = static_cast<ULONGLONG>(internal.IndexNumber.QuadPart);
    return true;
  }
  bool Replace(const std::string& replaced, const std::string& replacement, const std::string& backup) override {
    const std::wstring backupPath = WidePath(backup);
    return ReplaceFileW(WidePath(replaced).c_str(), WidePath(replacement).c_str(),
                        backup.empty() ? nullptr : backupPath.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                        nullptr) != FALSE;
  }
  bool Move(const std::string& from, const std::string& to, DWORD flags) override {
    return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), flags) != FALSE;
  }
  bool Copy(const std::string& from, const std::string& to) override {
    return CopyFileW(WidePath(from).c_str(), WidePath(to).c_str(), FALSE) != FALSE;
  }
  bool Link(const std::string& existing, const std::string& link) override {
    return CreateHardLinkW(WidePath(link).c_str(), WidePath(existing).c_str(), nullptr) != FALSE;
  }
  bool Remove(const std::string& path) override { return DeleteFileW(WidePath(path).c_str()) != FALSE; }
  DWORD Attributes(const std::string& path) override { return GetFileAttributesW(WidePath(path).c_str()); }
  bool SetAttributes(const std::string& path, DWORD attributes) override {
    return SetFileAttributesW(WidePath(path).c_str(), attributes) != FALSE;
  }
  bool PathStamp(const std::string& path, FileStamp& stamp) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    stamp.size = Combined(data.nFileSizeHigh, data.nFileSizeLow);
    stamp.lastWrite = Combined(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    stamp.index = 0;
    return true;
  }
  bool BasicInfo(HANDLE file, FILE_BASIC_INFO& info) override {
    return GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof info) != FALSE;
  }
  bool SetBasicInfo(HANDLE file, const FILE_BASIC_INFO& info) override {
    return SetFileInformationByHandle(file, FileBasicInfo, const_cast<FILE_BASIC_INFO*>(&info), sizeof info) != FALSE;
  }
  bool ReplaceKeepsMore() override {
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return !wine;
  }
  void Pause(DWORD milliseconds) override { Sleep(milliseconds); }
  bool ReadAt(HANDLE file, ULONGLONG offset, void* buffer, DWORD size, DWORD& read) override {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return ReadFile(file, buffer, size, &read, &at) != FALSE;
  }
  bool SetEnd(HANDLE file, ULONGLONG size) override {
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  }
  bool MakeFolder(const std::string& path) override { return CreateDirectoryW(WidePath(path).c_str(), nullptr) != FALSE; }
  bool RemoveFolder(const std::string& path) override { return RemoveDirectoryW(WidePath(path).c_str()) != FALSE; }
  bool Identity(HANDLE file, FileIdentity& identity) override {
    identity = FileIdentity();
    // FILE_ID_INFO, which the headers hold back for Windows 8 and later.
    struct {
      ULONGLONG volumeSerialNumber;
      BYTE fileId[16];
    } id;
    constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
    if (GetFileInformationByHandleEx(file, kFileIdInfo, &id, sizeof id)) {
      identity.volume = id.volumeSerialNumber;
      std::memcpy(identity.number, id.fileId, sizeof identity.number);
      return true;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file, &information)) return false;
    identity.volume = information.dwVolumeSerialNumber;
    const ULONGLONG number = Combined(information.nFileIndexHigh, information.nFileIndexLow);
    std::memcpy(identity.number, &number, sizeof number);
    return true;
  }
  bool FindNames(const std::string& pattern, std::vector<std::string>& names) override {
    names.clear();
    WIN32_FIND_DATAW entry;
    const FindHandle find(FindFirstFileW(WidePath(pattern).c_str(), &entry));
    if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
      names.push_back(Utf8(entry.cFileName));
    } while (FindNextFileW(find.Get(), &entry));
    return GetLastError() == ERROR_NO_MORE_FILES;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static SystemCalls calls;
  return calls;
}

bool FileSystem::Links(HANDLE file, DWORD& links) {
  FILE_STANDARD_INFO info;
  if (!GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info)) return false;
  links = info.NumberOfLinks;
  return true;
}

FileHandle OpenForAttributes(FileSystem& files, const std::string& path) {
  return files.Open(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    OPEN_EXISTING, 0);
}

std::string FullPathName(const std::string& path) {
  const std::wstring wide = Wide(path);
  std::wstring full(MAX_PATH, L'\0');
  // Too small a buffer is answered with the length needed, which a path may
  // take up to Windows' limit.
  for (;;) {
    const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return Utf8(full);
    }
    full.resize(length);
  }
}

}  // namespace varnex
