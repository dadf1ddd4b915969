#pragma once
// Path rules of the Windows file system (backslash and colon separate), applied
// to the path text alone: nothing here looks at the disk.

#include <cstddef>
#include <string>
#include <string_view>

namespace varnex {

// The directory part: everything before the last backslash, or up to and
// including it when it is the first character or follows a colon or another
// backslash (C:\docs\a.txt -> C:\docs, C:\a.txt -> C:\, \\server\share\a -> \\server\share).
std::string_view ExtractFileDir(std::string_view path);

// Everything after the last backslash or colon.
std::string_view ExtractFileName(std::string_view path);

// From the last dot to the end, when that dot stands after the last backslash
// or colon; otherwise empty.
std::string_view ExtractFileExt(std::string_view path);

// An extension as ExtractFileExt gives it, without its dot and without any
// blanks or control characters that followed the dot.
std::string FileExt(std::string_view extension);

// The file name without its last extension; a dot that ends the name does not
// count as one (notes. stays notes., a.b. gives a).
std::string_view BaseName(std::string_view path);

// Whether the UTF-8 `path` is no longer than the longest path Windows takes,
// 32,767 UTF-16 units.
bool FitsLongestPath(std::string_view path);

// `text` with every line longer than `longest` bytes cut in its middle: its
// start, "...", and its end from the last backslash on (the file name and what
// follows it), never a UTF-8 character in halves. A message box lays out what
// it is given, megabytes of a line included.
std::string ShortenedInMiddle(std::string_view text, std::size_t longest = 320);

}  // namespace varnex
