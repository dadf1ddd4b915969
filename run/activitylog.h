#pragma once
// The activity log: a record, kept across starts, of each start and close of the
// program and of every file a batch run changed. It lives in memory as a list of
// lines and is mirrored to its file after every added line.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

// Where the log's text (UTF-8, as every text inside the program) is kept, in
// whatever form on disk. Rewrite and Append raise Error on failure.
class LogStorage {
 public:
  // The whole text, or nothing when there is none or it cannot be read.
  virtual std::optional<std::string> Load() = 0;
  virtual void Rewrite(std::string_view text) = 0;
  virtual void Append(std::string_view text) = 0;

 protected:
  ~LogStorage() = default;
};

class ActivityLog {
 public:
  using Clock = std::function<std::string()>;  // the current time stamp

  ActivityLog(LogStorage& storage, Clock timeStamp);

  // Loads the file, adds the start line and saves.
  void Open();
  // Adds the line for a changed file and saves.
  void RecordReplacement(std::string_view findText, std::string_view path, std::string_view replaceText);
  // Adds the line for a file that a run could not do and saves.
  void RecordFailure(std::string_view failure);
  // Adds the line for a file that Undo Last Run restored and saves.
  void RecordRestore(std::string_view path, std::string_view runTime);
  // Adds the close line and saves.
  void Close();

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  void Add(std::string line);
  void Save();

  LogStorage& storage_;
  Clock timeStamp_;
  std::vector<std::string> lines_;
  // The first save of a start rewrites the file whole, which puts it into the
  // line model's shape; after that only the lines not yet on disk are appended,
  // so a save costs the new line rather than the whole history, and lines that
  // another copy of the program appended meanwhile stay.
  bool rewritten_ = false;
  std::size_t linesOnDisk_ = 0;
  // A file that holds a NUL byte has text behind it that the line model does
  // not read, and one that could not be read has text we do not know; such a
  // file is never rewritten, only appended to.
  bool keepFileAsItIs_ = false;
  bool fileEndsInsideLine_ = false;
};

}  // namespace varnex
