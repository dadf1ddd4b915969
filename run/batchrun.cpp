#include "run/batchrun.h"

#include <windows.h>

#include <exception>
#include <string_view>
#include <unordered_set>

#include "engine/textlines.h"
#include "run/ansitext.h"
#include "run/readahead.h"
#include "run/targetfile.h"

namespace varnex {

std::string PathIdentity(const std::string& path) {
  std::string full = FullPathName(path);
  CharUpperBuffA(full.data(), static_cast<DWORD>(full.size()));
  return full;
}

namespace {

// The entries the run may write before their turn come: a file listed again,
// and an earlier file's backup. They are not read ahead, or the read could
// keep the run from writing them.
std::vector<bool> ReadableAhead(const std::vector<std::string>& identities) {
  std::vector<bool> ahead(identities.size());
  std::unordered_set<std::string_view> earlier;
  for (std::size_t index = 0; index < identities.size(); ++index) {
    const std::string_view identity = identities[index];
    const bool backup = identity.ends_with(".BAK") && earlier.contains(identity.substr(0, identity.size() - 4));
    ahead[index] = !backup && earlier.insert(identity).second;
  }
  return ahead;
}

bool HoldsLineBreak(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

// Processes the file at `path`; true when it was changed and written. Raises
// an error on any failure: the file is then left as it was.
// Where the undo store needs the bytes as read, they stay in hand until the
// file is written: a file that is its own text, line ends and all, is searched
// as it is, the result taking new memory, and another one is converted into a
// copy. Otherwise the bytes become the text where they lie. The text is then
// replaced where it lies unless the replacement grows it.
bool ProcessTargetFile(const std::string& path, TargetFile file, Replacer& replacer, BatchRunHost& host,
                       UndoRecording* undo) {
  const TextEncoding encoding = file.encoding;
  const bool holdOriginal = undo != nullptr && !UndoRecording::TakesFromFile(file.stamp.size);
  const bool searchedAsRead =
      (encoding == TextEncoding::kAnsi || encoding == TextEncoding::kUtf8) && IsInLineShape(file.bytes);
  replacer.FileChanged = false;
  std::string findText = host.FindText();
  std::string replaceText = host.ReplaceText();
  if (host.UseDynamicVariables()) {
    findText = replacer.ExpandVariables(findText, path);
    replaceText = replacer.ExpandVariables(replaceText, path);
  }
  const std::string find = AnsiToFileText(findText, encoding);
  const std::string replace = AnsiToFileText(replaceText, encoding);
  std::string result;
  if (searchedAsRead && holdOriginal) {
    if (!replacer.ReplaceStrInto(file.bytes, find, replace, path, {findText, replaceText}, result)) return false;
  } else {
    // The file as lines joined with CR LF, so a find text spanning lines
    // matches whatever line ends the file has.
    std::string text = holdOriginal ? DecodeFileText(file.bytes, encoding) : TakeFileText(std::move(file.bytes), encoding);
    if (!searchedAsRead) text = NormalizeLineEndsOwned(std::move(text));
    result = replacer.ReplaceStr(std::move(text), find, replace, path, {findText, replaceText});
    if (!replacer.FileChanged) return false;
  }

  // A CR or LF that the replace text brought in on its own becomes a line end.
  // Texts without one leave every line end of the text as it was: no pass over
  // the whole result is needed to find out.
  if (HoldsLineBreak(find) || HoldsLineBreak(replace)) result = NormalizeLineEndsOwned(std::move(result));
  const std::string written = GiveFileText(std::move(result), encoding);
  if (host.BackUpChangedFiles()) BackUpTargetFile(path, file.stamp);
  if (undo != nullptr) {
    holdOriginal ? undo->Keep(path, file.bytes, written) : undo->KeepFromFile(path, file.stamp, written);
  }
  RewriteTargetFile(path, file.stamp, written);
  if (undo != nullptr) undo->Written(path);
  return true;
}

}  // namespace

RunCounts RunBatch(const std::vector<std::string>& files, Replacer& replacer, BatchRunHost& host,
                   UndoRecording* undo) {
  RunCounts counts;
  std::vector<std::string> identities;
  identities.reserve(files.size());
  for (const std::string& path : files) identities.push_back(PathIdentity(path));
  std::unordered_set<std::string_view> seen;
  ReadAhead ahead(files, ReadableAhead(identities));
  for (std::size_t index = 0; index < files.size(); ++index) {
    if (index > 0) host.ProcessPendingEvents();
    if (host.StopRequested()) break;
    host.ShowCurrent(static_cast<int>(index));
    if (seen.insert(identities[index]).second) {
      ++counts.searched;
      replacer.FileChanged = false;
      try {
        if (ProcessTargetFile(files[index], ahead.Take(index), replacer, host, undo)) ++counts.written;
      } catch (const std::exception&) {
        host.ReportFailure(files[index]);
      }
      // Only a changed file is written, its backup made and a line logged.
      if (replacer.FileChanged) ahead.RunWrote();
    }
    host.FileDone(static_cast<int>(index) + 1);
  }
  return counts;
}

}  // namespace varnex
