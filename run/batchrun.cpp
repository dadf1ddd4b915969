#include "run/batchrun.h"

#include <windows.h>

#include <exception>
#include <unordered_set>

#include "engine/textlines.h"
#include "run/ansitext.h"
#include "run/targetfile.h"

namespace varnex {
namespace {

// The name under which Windows knows a file: its full path, letter case aside.
std::string FileIdentity(const std::string& path) {
  std::string full = FullPathName(path);
  CharUpperBuffA(full.data(), static_cast<DWORD>(full.size()));
  return full;
}

// Processes the file at `path`; true when it was changed and written. Raises
// an error on any failure: the file is then left as it was.
// The bytes as read stay in hand until the file is written, for the undo
// store. Most files are their own text, line ends and all, and are searched as
// they are; the others in a converted copy. The result is a second or third
// text, never more.
bool ProcessTargetFile(const std::string& path, Replacer& replacer, BatchRunHost& host, UndoRecording* undo) {
  const TargetFile file = ReadTargetFile(path);
  const TextEncoding encoding = file.encoding;
  const bool searchedAsRead =
      (encoding == TextEncoding::kAnsi || encoding == TextEncoding::kUtf8) && IsInLineShape(file.bytes);
  // The file as lines joined with CR LF, so a find text spanning lines
  // matches whatever line ends the file has.
  std::string converted;
  if (!searchedAsRead) converted = NormalizeLineEndsOwned(DecodeFileText(file.bytes, encoding));
  replacer.FileChanged = false;
  std::string findText = host.FindText();
  std::string replaceText = host.ReplaceText();
  if (host.UseDynamicVariables()) {
    findText = replacer.ExpandVariables(findText, path);
    replaceText = replacer.ExpandVariables(replaceText, path);
  }
  std::string result;
  if (!replacer.ReplaceStrInto(searchedAsRead ? std::string_view(file.bytes) : std::string_view(converted),
                               AnsiToFileText(findText, encoding), AnsiToFileText(replaceText, encoding), path,
                               {findText, replaceText}, result)) {
    return false;
  }
  converted = {};

  // A CR or LF that the replace text brought in on its own becomes a line end.
  const std::string written = GiveFileText(NormalizeLineEndsOwned(std::move(result)), encoding);
  if (host.BackUpChangedFiles()) BackUpTargetFile(path, file.stamp);
  if (undo != nullptr) undo->Keep(path, file.bytes, written);
  RewriteTargetFile(path, file.stamp, written);
  if (undo != nullptr) undo->Written(path);
  return true;
}

}  // namespace

RunCounts RunBatch(const std::vector<std::string>& files, Replacer& replacer, BatchRunHost& host,
                   UndoRecording* undo) {
  RunCounts counts;
  std::unordered_set<std::string> seen;
  for (std::size_t index = 0; index < files.size(); ++index) {
    if (index > 0) host.ProcessPendingEvents();
    if (host.StopRequested()) break;
    host.ShowCurrent(static_cast<int>(index));
    if (seen.insert(FileIdentity(files[index])).second) {
      ++counts.searched;
      try {
        if (ProcessTargetFile(files[index], replacer, host, undo)) ++counts.written;
      } catch (const std::exception&) {
        host.ReportFailure(files[index]);
      }
    }
    host.FileDone(static_cast<int>(index) + 1);
  }
  return counts;
}

}  // namespace varnex
