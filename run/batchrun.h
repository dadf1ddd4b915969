#pragma once
// One file of a batch run: read, prepare the texts, replace, back up, write.

#include <string>
#include <string_view>

namespace varnex {

// What the run asks of the main window for each file, at the moment it needs it.
class BatchRunHost {
 public:
  virtual std::string FindText() = 0;
  virtual std::string ReplaceText() = 0;
  virtual bool UseDynamicVariables() = 0;
  virtual bool BackUpChangedFiles() = 0;
  // The dynamic variables of `text` expanded for the file at `path`.
  virtual std::string Expand(std::string_view text, const std::string& path) = 0;
  // The replacement routine with its log switch on.
  virtual std::string Replace(std::string_view text, std::string_view findText, std::string_view replaceText,
                              const std::string& path) = 0;
  virtual void ClearFileChanged() = 0;
  virtual bool FileChanged() = 0;

 protected:
  ~BatchRunHost() = default;
};

// Processes the file at `path`; true when it was changed and written. Raises
// an error on any failure: the file is then left as it was.
bool ProcessTargetFile(const std::string& path, BatchRunHost& host);

}  // namespace varnex
