#pragma once
// The files a benchmark runs over: every file below a folder, as a user would
// add them.

#include <windows.h>

#include <string>
#include <vector>

namespace varnex::bench {

// A folder gives every file below it; a file gives itself.
inline void AddFilesBelow(const std::string& folder, std::vector<std::string>& files) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    files.push_back(folder);
    return;
  }
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      AddFilesBelow(folder + "\\" + name, files);
    } else {
      files.push_back(folder + "\\" + name);
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

}  // namespace varnex::bench
