#include "run/batchrun.h"

#include "run/targetfile.h"
#include "run/textlines.h"

namespace varnex {

bool ProcessTargetFile(const std::string& path, BatchRunHost& host) {
  const TargetFile file = ReadTargetFile(path);
  host.ClearFileChanged();
  std::string findText = host.FindText();
  std::string replaceText = host.ReplaceText();
  if (host.UseDynamicVariables()) {
    findText = host.Expand(findText, path);
    replaceText = host.Expand(replaceText, path);
  }
  // The file as lines joined with CR LF, so a find text spanning lines
  // matches whatever line ends the file has.
  const std::string text = NormalizeLineEnds(file.bytes);
  const std::string result = host.Replace(text, findText, replaceText, path);
  if (!host.FileChanged()) return false;

  // A CR or LF that the replace text brought in on its own becomes a line end.
  const std::string written = NormalizeLineEnds(result);
  if (host.BackUpChangedFiles()) BackUpTargetFile(path, file.stamp);
  RewriteTargetFile(path, file.stamp, written);
  return true;
}

}  // namespace varnex
