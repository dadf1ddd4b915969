#include "framework/settings.h"

#include <windows.h>

#include "engine/encoding.h"
#include "engine/error.h"
#include "framework/filesystem.h"
#include "framework/handle.h"
#include "framework/unicode.h"
#include "framework/wholefile.h"

namespace varnex {
namespace {

constexpr DWORD kValueBuffer = 2048;
constexpr std::string_view kUnableToWrite = "Unable to write to %s";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

std::string SettingsStore::Read(const char* section, const char* key) const {
  wchar_t value[kValueBuffer];
  const DWORD length = GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"", value, kValueBuffer,
                                                WidePath(path_).c_str());
  return Utf8(std::wstring_view(value, length));
}

void SettingsStore::Write(const char* section, const char* key, const std::string& value) const {
  // A read-only file is left as it is, as Windows' profile functions leave
  // it (Wine lets its owner write it).
  const DWORD attributes = SystemFileSystem().Attributes(path_);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    throw Error::Format(kUnableToWrite, path_);
  }
  std::string ansi;
  if (!ToAnsi(value, ansi)) MakeUnicode(attributes);
  if (!WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(value).c_str(),
                                  WidePath(path_).c_str())) {
    throw Error::Format(kUnableToWrite, path_);
  }
}

// The profile functions write a file in the form they find it in, and make a
// new one in the ANSI code page; a file that begins with the UTF-16 LE mark
// they keep in UTF-16, and one with the UTF-8 mark in UTF-8. Turned so whole:
// a new file beside it, with its attributes, takes its place, so a failure
// halfway leaves the old one.
void SettingsStore::MakeUnicode(DWORD attributes) const {
  FileSystem& files = SystemFileSystem();
  std::string bytes;
  {
    const FileHandle file = files.Open(path_, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file && !ReadWholeFile(files, file.Get(), bytes)) throw Error::Format(kUnableToWrite, path_);
  }
  if (bytes.starts_with(kUtf16Mark) || bytes.starts_with(kUtf8Mark)) return;
  const std::u16string units = Utf16FromUtf8(FromAnsi(bytes));
  std::string unicode(kUtf16Mark);
  for (char16_t unit : units) {
    unicode += static_cast<char>(unit & 0xFF);
    unicode += static_cast<char>(unit >> 8);
  }
  const std::string temporary = path_ + ".new";
  bool written = false;
  {
    const FileHandle file = files.Open(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    written = file && WriteWholeBuffer(files, file.Get(), unicode) && files.Flush(file.Get());
  }
  if (written && attributes != INVALID_FILE_ATTRIBUTES) written = files.SetAttributes(temporary, attributes);
  if (!written || !files.Move(temporary, path_, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    files.Remove(temporary);
    throw Error::Format(kUnableToWrite, path_);
  }
}

}  // namespace varnex
