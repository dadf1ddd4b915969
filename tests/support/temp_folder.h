#pragma once
// A fresh folder under the system's temporary folder, removed with everything in
// it when the test is done.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace varnex::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

 private:
  std::string path_;
};

// The process's current directory, put back when the test is done: the folder
// picker moves it as the user picks folders, and a test must not leave the
// next one standing in a folder that has been removed, or on another drive.
class CurrentDirectoryKept {
 public:
  // Moves into `during` (where given) for the length of the test.
  explicit CurrentDirectoryKept(const std::string& during = {});
  ~CurrentDirectoryKept();
  CurrentDirectoryKept(const CurrentDirectoryKept&) = delete;
  CurrentDirectoryKept& operator=(const CurrentDirectoryKept&) = delete;

 private:
  std::wstring kept_;
};

// The names in a folder, sorted: what a step left behind.
std::vector<std::string> NamesIn(const std::string& folder);

// Runs a Linux program by its path on Z: in `folder` and waits until `made` is
// listed there. Wine's CreateSymbolicLinkW makes no link, and its CreateFileW
// opens "A.TXT" as "a.txt": only Linux makes those.
void MakeInLinux(const std::string& folder, const std::string& command, const std::string& made);

// Paths in UTF-8, of any length.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view bytes);

}  // namespace varnex::testing
