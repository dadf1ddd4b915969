#include "run/batchrun.h"

#include <windows.h>

#include <exception>
#include <string_view>
#include <unordered_set>

#include "engine/textlines.h"
#include "run/ansitext.h"
#include "run/targetfile.h"

namespace varnex {
namespace {

// The name under which Windows knows a file: its full path, letter case aside.
std::string FileIdentity(const std::string& path) {
  std::string full(MAX_PATH, '\0');
  DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  full.resize(length < full.size() ? length : 0);
  if (full.empty()) full = path;
  CharUpperBuffA(full.data(), static_cast<DWORD>(full.size()));
  return full;
}

bool HoldsLineBreak(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

// Processes the file at `path`; true when it was changed and written. Raises
// an error on any failure: the file is then left as it was.
// The file's text is held once or twice at a time, never more: each step lets
// go of what the next no longer needs.
bool ProcessTargetFile(const std::string& path, Replacer& replacer, BatchRunHost& host) {
  // The file as lines joined with CR LF, so a find text spanning lines
  // matches whatever line ends the file has.
  TargetFile file = ReadTargetFile(path);
  const TextEncoding encoding = file.encoding;
  std::string text = NormalizeLineEndsOwned(TakeFileText(std::move(file.bytes), encoding));
  replacer.FileChanged = false;
  std::string findText = host.FindText();
  std::string replaceText = host.ReplaceText();
  if (host.UseDynamicVariables()) {
    findText = replacer.ExpandVariables(findText, path);
    replaceText = replacer.ExpandVariables(replaceText, path);
  }
  const std::string find = AnsiToFileText(findText, encoding);
  const std::string replace = AnsiToFileText(replaceText, encoding);
  std::string result = replacer.ReplaceStr(std::move(text), find, replace, path, {findText, replaceText});
  if (!replacer.FileChanged) return false;

  // A CR or LF that the replace text brought in on its own becomes a line end.
  // Texts without one leave every line end of the text as it was: no pass over
  // the whole result is needed to find out.
  if (HoldsLineBreak(find) || HoldsLineBreak(replace)) result = NormalizeLineEndsOwned(std::move(result));
  const std::string written = GiveFileText(std::move(result), encoding);
  if (host.BackUpChangedFiles()) BackUpTargetFile(path, file.stamp);
  RewriteTargetFile(path, file.stamp, written);
  return true;
}

}  // namespace

RunCounts RunBatch(const std::vector<std::string>& files, Replacer& replacer, BatchRunHost& host) {
  RunCounts counts;
  std::unordered_set<std::string> seen;
  for (std::size_t index = 0; index < files.size(); ++index) {
    if (index > 0) host.ProcessPendingEvents();
    if (host.StopRequested()) break;
    host.ShowCurrent(static_cast<int>(index));
    if (seen.insert(FileIdentity(files[index])).second) {
      ++counts.searched;
      try {
        if (ProcessTargetFile(files[index], replacer, host)) ++counts.written;
      } catch (const std::exception&) {
        host.ReportFailure(files[index]);
      }
    }
    host.FileDone(static_cast<int>(index) + 1);
  }
  return counts;
}

}  // namespace varnex
