#pragma once
// A file that a run could not do, and why, told from what the system said.

#include <windows.h>

#include <string>

#include "engine/error.h"
#include "framework/filesystem.h"

namespace varnex {

// "Cannot open file <path>" with the reason a failed file call gave in
// GetLastError, `error`. Windows answers a write open of a read-only file, and
// an open of a folder, with ERROR_ACCESS_DENIED as it does a missing right:
// the path's attributes tell which it was.
Error CannotOpenFile(const std::string& path, DWORD error, FileSystem& files);
// The same with another message for the file (kCannotCreateFile).
Error FileCallFailure(std::string_view message, const std::string& path, DWORD error, FileSystem& files);

// The reason for a system error code alone; kOther where the code has no
// reason of its own (see SystemMessage).
FailureReason ReasonOfSystemError(DWORD error);

// The system's own text for an error code (FormatMessageW), one line, no
// full stop at the end.
std::string SystemMessage(DWORD error);

}  // namespace varnex
