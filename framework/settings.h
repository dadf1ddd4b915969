#pragma once
// The settings store: the user's choices in an ini file beside the program.
// It holds only the file's path; every read and write goes straight to the file,
// so nothing needs saving at exit. Values are UTF-8. The file stays in the ANSI
// code page, byte for byte as it always was, until a value comes that has no
// form there; from then on it is in UTF-16 LE with a byte-order mark, the
// profile functions' Unicode form. One in UTF-8 with its mark stays so. A
// read-only file is never written.

#include <windows.h>

#include <string>

namespace varnex {

class SettingsStore {
 public:
  explicit SettingsStore(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // The stored text, or the empty text for a missing file, section or key.
  std::string Read(const char* section, const char* key) const;
  // Raises "Unable to write to <path>" when the file cannot be written.
  void Write(const char* section, const char* key, const std::string& value) const;

 private:
  // `attributes`: the file's, INVALID_FILE_ATTRIBUTES where there is none yet.
  void MakeUnicode(DWORD attributes) const;

  std::string path_;
};

// Booleans are stored as the words "True" and "False".
inline const char* BooleanText(bool value) { return value ? "True" : "False"; }

}  // namespace varnex
