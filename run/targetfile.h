#pragma once
// Reading and rewriting the files a batch run works on. Every failure raises
// an error; the run reports it for the file in hand and goes on.

#include <string>
#include <string_view>

namespace varnex {

// The whole file, read with other writers locked out. A file that holds a NUL
// byte is no text file: it is refused before anything is done to it.
std::string ReadTargetFile(const std::string& path);

// Copies the file to its path with ".bak" appended, over an older backup.
void BackUpTargetFile(const std::string& path);

// Replaces the file's content with `bytes` without ever leaving it half
// written: the bytes go to a new file in the same folder, which then takes the
// original's place and attributes. On any failure the original stays as it
// was and the new file is removed.
void RewriteTargetFile(const std::string& path, std::string_view bytes);

}  // namespace varnex
