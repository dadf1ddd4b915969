#include "run/targetfile.h"

#include <windows.h>

#include "engine/error.h"
#include "engine/paths.h"
#include "run/textlines.h"
#include "run/wholefile.h"
#include "shell/handle.h"

namespace varnex {
namespace {

[[noreturn]] void CannotOpen(const std::string& path) { throw Error::Format(kCannotOpenFile, path); }

// A file of our own beside the target, created empty with a unique name.
std::string MakeTemporaryBeside(const std::string& path) {
  std::string folder(ExtractFileDir(path));
  if (folder.empty()) folder = ".";
  char name[MAX_PATH];
  if (GetTempFileNameA(folder.c_str(), "vnx", 0, name) == 0) CannotOpen(path);
  return name;
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
  const std::string temporary = MakeTemporaryBeside(path);
  bool written = false;
  {
    const FileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    written = file && WriteWholeBuffer(file.Get(), bytes);
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
