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

// What only Linux can make under Wine, made by a Linux program of `folder`'s
// own: a symbolic link `name` to the file `target` beside it (Wine's
// CreateSymbolicLinkW makes none), and a copy `name` of the file `source`
// where the two names differ in letter case alone (Wine's CreateFileW opens
// the file that is there by any letter case). Wine shows a link as the file
// it names, never as a reparse point.
void MakeSymbolicLink(const std::string& folder, const std::string& name, const std::string& target);
void MakeCaseTwin(const std::string& folder, const std::string& name, const std::string& source);

// Paths in UTF-8, of any length.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view bytes);

}  // namespace varnex::testing
