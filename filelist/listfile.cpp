#include "filelist/listfile.h"

#include "engine/encoding.h"
#include "engine/error.h"
#include "engine/paths.h"
#include "engine/textlines.h"
#include "framework/handle.h"
#include "framework/safereplace.h"
#include "framework/unicode.h"
#include "framework/wholefile.h"

namespace varnex {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A list with a byte-order mark is in that encoding; one without is in the
// ANSI code page, as every list was before names outside it could be listed.
std::string ListText(std::string_view bytes) {
  const TextEncoding encoding = DetectEncoding(bytes);
  switch (encoding) {
    case TextEncoding::kUtf8WithMark:
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be:
      return DecodeFileText(bytes, encoding);
    case TextEncoding::kAnsi:
    case TextEncoding::kUtf8:
      break;
  }
  return FromAnsi(bytes);
}

}  // namespace

LoadedList LoadFilenameList(const std::string& path, FileSystem& files) {
  const FileHandle file = files.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  std::string bytes;
  if (!file || !ReadWholeFile(files, file.Get(), bytes)) throw Error::Format(kCannotOpenFile, path);
  const std::string text = ListText(bytes);
  LoadedList list;
  for (std::string_view line : SplitLines(text)) {
    if (FitsLongestPath(line)) {
      list.entries.emplace_back(line);
    } else {
      ++list.tooLong;
    }
  }
  return list;
}

void SaveFilenameList(const std::string& path, const std::vector<std::string>& entries, FileSystem& files) {
  const std::string text = JoinLines(entries);
  std::string bytes;
  if (!ToAnsi(text, bytes)) bytes = std::string(kUtf8Mark) + text;
  // Through a new file put in the old one's place: a save that fails (a
  // full disk) leaves the list saved before whole.
  std::string temporary;
  FileHandle file = CreateFileBeside(files, path, temporary);
  if (!file) throw Error::Format(kCannotCreateFile, path);
  FileStamp made;
  const bool written =
      WriteWholeBuffer(files, file.Get(), bytes) && files.Flush(file.Get()) && files.Stamp(file.Get(), made);
  file.Reset();
  const bool placed =
      written && (files.Attributes(path) == INVALID_FILE_ATTRIBUTES ? files.Move(temporary, path, MOVEFILE_WRITE_THROUGH)
                                                                    : PutInPlace(files, path, temporary, made) == Placed::kReplacement);
  if (!placed) {
    RemoveOurFile(files, temporary);
    throw Error::Format(kCannotCreateFile, path);
  }
}

}  // namespace varnex
