#pragma once
// The activity log's file on disk. It stays in the ANSI code page, byte for
// byte as it always was, while every character of the log has a form there;
// the first line that has not turns the whole file, every earlier line kept,
// into UTF-8 with a byte-order mark, which it then stays. Both forms load.

#include <optional>
#include <string>
#include <string_view>

#include "framework/filesystem.h"
#include "framework/handle.h"
#include "run/activitylog.h"

namespace varnex {

class LogFile final : public LogStorage {
 public:
  explicit LogFile(std::string path, FileSystem& files = SystemFileSystem())
      : path_(std::move(path)), files_(files) {}

  const std::string& Path() const { return path_; }

  // Reads the file with other programs locked out, waiting a moment for one
  // that holds it. It keeps the file locked until the first Rewrite, so nothing
  // another copy appends in between is lost to that rewrite; an Append lets go.
  std::optional<std::string> Load() override;
  // Writes the whole log to a new file beside the old one, which stays as it
  // was until the new one is complete and takes its place.
  void Rewrite(std::string_view text) override;
  // A text the ANSI file cannot hold first turns the file into UTF-8 the same
  // safe way. Every copy of the program appends under one byte-range lock, so
  // two copies appending at once never lose or mix lines.
  void Append(std::string_view text) override;
  // Both raise "Cannot create file <path>" with the reason when they fail.

  // For its length the file stays open between appends: a batch run appends
  // a line for every file it changes, and opening the file can cost more than
  // the line. Another copy that starts meanwhile cannot load the log; it then
  // only appends, as to any log it cannot read, and loses nothing.
  class Held {
   public:
    explicit Held(LogFile& file) : file_(file) { file_.holdAppends_ = true; }
    ~Held() {
      file_.holdAppends_ = false;
      file_.appending_.Reset();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

   private:
    LogFile& file_;
  };

 private:
  std::optional<std::string> LoadBytes();
  void Replace(std::string_view bytes);
  FileHandle OpenForAppending();
  void ConvertToUtf8();

  std::string path_;
  FileSystem& files_;
  FileHandle loaded_;
  bool utf8_ = false;  // the file's form as last seen
  bool holdAppends_ = false;
  FileHandle appending_;
};

}  // namespace varnex
