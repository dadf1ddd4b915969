#include "run/failurereason.h"

#include "framework/unicode.h"

namespace varnex {

FailureReason ReasonOfSystemError(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return FailureReason::kUnknown;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return FailureReason::kNotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return FailureReason::kHeldOpen;
    case ERROR_ACCESS_DENIED:
      return FailureReason::kAccessDenied;
    case ERROR_FILENAME_EXCED_RANGE:
      return FailureReason::kPathTooLong;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FailureReason::kDiskFull;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return FailureReason::kOutOfMemory;
    default:
      return FailureReason::kOther;
  }
}

std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text != nullptr ? std::wstring_view(text, length) : std::wstring_view());
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
                              message.back() == L'.')) {
    message.pop_back();
  }
  if (message.empty()) return "Windows error " + std::to_string(error);
  return Utf8(message) + " (error " + std::to_string(error) + ")";
}

Error CannotOpenFile(const std::string& path, DWORD error, FileSystem& files) {
  return FileCallFailure(kCannotOpenFile, path, error, files);
}

Error FileCallFailure(std::string_view message, const std::string& path, DWORD error, FileSystem& files) {
  const Error failure = Error::Format(message, path);
  FailureReason reason = ReasonOfSystemError(error);
  if (reason == FailureReason::kAccessDenied) {
    const DWORD attributes = files.Attributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      reason = FailureReason::kFolder;
    } else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
      reason = FailureReason::kReadOnly;
    }
  }
  return failure.Because(reason, reason == FailureReason::kOther ? SystemMessage(error) : std::string());
}

}  // namespace varnex
