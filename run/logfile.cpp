#include "run/logfile.h"

#include "engine/error.h"
#include "run/wholefile.h"

namespace varnex {
namespace {

// Another copy of the program may hold the log for a moment while it rewrites
// it at start-up; an append waits that long rather than fail.
constexpr int kSharingRetries = 40;
constexpr DWORD kSharingRetryPause = 25;  // milliseconds

FileHandle OpenForAppending(const std::string& path) {
  for (int attempt = 0;; ++attempt) {
    FileHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_SHARING_VIOLATION || attempt == kSharingRetries) return file;
    Sleep(kSharingRetryPause);
  }
}

}  // namespace

std::optional<std::string> LogFile::Load() {
  loaded_.Reset(CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  FileHandle readOnly;
  if (!loaded_) {
    readOnly.Reset(CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!readOnly) return std::nullopt;
  }
  std::string bytes;
  if (!ReadWholeFile(loaded_ ? loaded_.Get() : readOnly.Get(), bytes)) {
    loaded_.Reset();
    return std::nullopt;
  }
  return bytes;
}

void LogFile::Rewrite(std::string_view bytes) {
  FileHandle file = std::move(loaded_);
  bool written = false;
  if (file) {
    written = SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) == 0 && WriteWholeBuffer(file.Get(), bytes) &&
              SetEndOfFile(file.Get());
  } else {
    file.Reset(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    written = file && WriteWholeBuffer(file.Get(), bytes);
  }
  if (!written) throw Error::Format(kCannotCreateFile, path_);
}

void LogFile::Append(std::string_view bytes) {
  // No rewrite follows an append; the load's lock would only keep us out.
  loaded_.Reset();
  const FileHandle file = OpenForAppending(path_);
  if (!file || !WriteWholeBuffer(file.Get(), bytes)) throw Error::Format(kCannotCreateFile, path_);
}

}  // namespace varnex
