#include "run/batchrun.h"

#include <exception>

#include "engine/textlines.h"
#include "run/targetfile.h"

namespace varnex {
namespace {

// Processes the file at `path`; true when it was changed and written. Raises
// an error on any failure: the file is then left as it was.
bool ProcessTargetFile(const std::string& path, Replacer& replacer, BatchRunHost& host) {
  const std::string bytes = ReadTargetFile(path);
  replacer.FileChanged = false;
  std::string findText = host.FindText();
  std::string replaceText = host.ReplaceText();
  if (host.UseDynamicVariables()) {
    findText = replacer.ExpandVariables(findText, path);
    replaceText = replacer.ExpandVariables(replaceText, path);
  }
  // The file as lines joined with CR LF, so a find text spanning lines
  // matches whatever line ends the file has.
  const std::string text = NormalizeLineEnds(bytes);
  const std::string result = replacer.ReplaceStr(text, findText, replaceText, true, path);
  if (!replacer.FileChanged) return false;

  // A CR or LF that the replace text brought in on its own becomes a line end.
  const std::string written = NormalizeLineEnds(result);
  if (host.BackUpChangedFiles()) BackUpTargetFile(path);
  RewriteTargetFile(path, written);
  return true;
}

}  // namespace

int RunBatch(const std::vector<std::string>& files, Replacer& replacer, BatchRunHost& host) {
  int written = 0;
  for (std::size_t index = 0; index < files.size() && !host.StopRequested(); ++index) {
    host.ShowCurrent(static_cast<int>(index));
    try {
      if (ProcessTargetFile(files[index], replacer, host)) ++written;
    } catch (const std::exception&) {
      host.ReportFailure(files[index]);
    }
  }
  return written;
}

}  // namespace varnex
