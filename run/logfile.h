#pragma once
// The activity log's file on disk.

#include <optional>
#include <string>
#include <string_view>

#include "run/activitylog.h"
#include "shell/handle.h"

namespace varnex {

class LogFile final : public LogStorage {
 public:
  explicit LogFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // Reads the file with other writers locked out. Where it can, it keeps the
  // file open and locked until the first Rewrite, so nothing another program
  // writes in between is lost to that rewrite; an Append lets go.
  std::optional<std::string> Load() override;
  // Raise "Cannot create file <path>" when they fail.
  void Rewrite(std::string_view bytes) override;
  void Append(std::string_view bytes) override;

 private:
  std::string path_;
  FileHandle loaded_;
};

}  // namespace varnex
