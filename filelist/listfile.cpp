#include "filelist/listfile.h"

#include <windows.h>

#include "engine/error.h"
#include "engine/textlines.h"
#include "framework/handle.h"
#include "framework/wholefile.h"

namespace varnex {

std::vector<std::string> LoadFilenameList(const std::string& path) {
  const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  if (!file || !ReadWholeFile(file.Get(), bytes)) throw Error::Format(kCannotOpenFile, path);
  std::vector<std::string> entries;
  for (std::string_view line : SplitLines(bytes)) entries.emplace_back(line);
  return entries;
}

void SaveFilenameList(const std::string& path, const std::vector<std::string>& entries) {
  const FileHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || !WriteWholeBuffer(file.Get(), JoinLines(entries))) throw Error::Format(kCannotCreateFile, path);
}

}  // namespace varnex
