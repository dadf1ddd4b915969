#pragma once
// Telling a binary file from a text file by its bytes: a NUL byte marks a
// program, a picture or an archive, unless the bytes are UTF-16 text, where
// every ASCII character brings one. The scan looks at a file's first block
// only; the run has the whole file.

#include <cstddef>
#include <string_view>

namespace varnex {

// What the scan reads of each file to tell.
inline constexpr std::size_t kBinaryProbeSize = 4096;

// True for bytes holding a NUL that are not UTF-16 text: UTF-16 with its
// byte-order mark and no NUL code unit, or without a mark (of UTF-16 or
// UTF-8), an even count of bytes and NULs on one side of the code units only,
// filling at least half of that side (as text of mostly ASCII characters
// does). Empty bytes are text.
bool LooksBinary(std::string_view bytes);

}  // namespace varnex
