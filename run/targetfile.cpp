#include "run/targetfile.h"

#include <windows.h>

#include <cstdio>

#include "engine/error.h"
#include "engine/paths.h"
#include "engine/textlines.h"
#include "framework/handle.h"
#include "framework/wholefile.h"

namespace varnex {
namespace {

[[noreturn]] void CannotOpen(const std::string& path) { throw Error::Format(kCannotOpenFile, path); }

// A new file of our own beside the target, open for writing. Its name is made
// here rather than by GetTempFileNameA, which would create it only for it to
// be opened again.
FileHandle CreateTemporaryBeside(const std::string& path, std::string& temporary) {
  static unsigned counter = GetTickCount();
  std::string folder(ExtractFileDir(path));
  if (!folder.empty() && folder.back() != '\\' && folder.back() != ':') folder += '\\';
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "~vnx%04x.tmp", ++counter & 0xFFFF);
    temporary = folder + name;
    FileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return FileHandle();
}

// Where ReplaceFileA cannot work at all (file systems without it), a plain
// replace has to do; a refusal such as a read-only target is final.
bool ReplaceUnsupported(DWORD error) {
  return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED;
}

// A file that another program holds, or that is read-only, is refused before
// anything is written: some platforms' ReplaceFileA leave a file of their own
// behind when they fail late.
void EnsureReplaceable(const std::string& path) {
  const FileHandle target(CreateFileA(path.c_str(), GENERIC_WRITE | DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!target) CannotOpen(path);
}

}  // namespace

std::string ReadTargetFile(const std::string& path) {
  const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  std::string bytes;
  if (!file || !ReadWholeFile(file.Get(), bytes)) CannotOpen(path);
  if (TextBeforeNul(bytes).size() != bytes.size()) CannotOpen(path);
  return bytes;
}

void BackUpTargetFile(const std::string& path) {
  if (!CopyFileA(path.c_str(), (path + ".bak").c_str(), FALSE)) CannotOpen(path);
}

void RewriteTargetFile(const std::string& path, std::string_view bytes) {
  EnsureReplaceable(path);
  std::string temporary;
  bool written = false;
  {
    const FileHandle file = CreateTemporaryBeside(path, temporary);
    if (!file) CannotOpen(path);
    written = WriteWholeBuffer(file.Get(), bytes);
  }
  if (written) {
    if (ReplaceFileA(path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      return;
    }
    if (ReplaceUnsupported(GetLastError()) &&
        MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return;
    }
  }
  DeleteFileA(temporary.c_str());
  CannotOpen(path);
}

}  // namespace varnex
