#pragma once
// Whole-file reads and writes through an open handle, in pieces the Win32 calls
// can take.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "framework/filesystem.h"

namespace varnex {

// Reads the whole file through a handle that stands at its start; false when
// reading fails. `onPiece` is shown every piece as it arrives, while it is
// still in the cache.
bool ReadWholeFile(FileSystem& files, HANDLE file, std::string& bytes,
                   const std::function<void(std::string_view)>& onPiece = nullptr);
// Writes all of `bytes` at the handle's position; false when writing fails,
// a short write included (a full disk takes what fits, then refuses).
bool WriteWholeBuffer(FileSystem& files, HANDLE file, std::string_view bytes);

inline bool ReadWholeFile(HANDLE file, std::string& bytes) { return ReadWholeFile(SystemFileSystem(), file, bytes); }
inline bool WriteWholeBuffer(HANDLE file, std::string_view bytes) {
  return WriteWholeBuffer(SystemFileSystem(), file, bytes);
}

}  // namespace varnex
