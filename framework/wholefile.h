#pragma once
// Whole-file reads and writes through an open handle, in pieces the Win32 calls
// can take.

#include <windows.h>

#include <string>
#include <string_view>

namespace varnex {

// Reads the whole file through a handle that stands at its start; false when
// reading fails.
bool ReadWholeFile(HANDLE file, std::string& bytes);
// Writes all of `bytes` at the handle's position; false when writing fails.
bool WriteWholeBuffer(HANDLE file, std::string_view bytes);

}  // namespace varnex
