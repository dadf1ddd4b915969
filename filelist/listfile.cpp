#include "filelist/listfile.h"

#include "engine/error.h"
#include "engine/textlines.h"
#include "framework/handle.h"
#include "framework/wholefile.h"

namespace varnex {

std::vector<std::string> LoadFilenameList(const std::string& path, FileSystem& files) {
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  std::string bytes;
  if (!file || !ReadWholeFile(files, file.Get(), bytes)) throw Error::Format(kCannotOpenFile, path);
  std::vector<std::string> entries;
  for (std::string_view line : SplitLines(bytes)) entries.emplace_back(line);
  return entries;
}

void SaveFilenameList(const std::string& path, const std::vector<std::string>& entries, FileSystem& files) {
  const FileHandle file = files.Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
  if (!file || !WriteWholeBuffer(files, file.Get(), JoinLines(entries))) throw Error::Format(kCannotCreateFile, path);
}

}  // namespace varnex
