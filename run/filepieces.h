#pragma once
// A big file read through a piece at a time, as the undo store takes its
// original: never the whole of it in memory at once.

#include <functional>
#include <string>
#include <string_view>

#include "framework/filesystem.h"

namespace varnex {

// How a reading through ended.
enum class PiecesRead { kWhole, kUnreadable, kStopped };

// Reads the file at `path`, opened sharing `share`, from its start to its end
// in pieces of at most 4 MiB, handing each to `take`; an answer of false
// stops the reading. kUnreadable where the file cannot be opened or read
// through, or is not as `read` stamps it before and after.
PiecesRead ReadInPieces(FileSystem& files, const std::string& path, const FileStamp& read, DWORD share,
                        const std::function<bool(std::string_view piece)>& take);

}  // namespace varnex
