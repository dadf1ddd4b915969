#pragma once
// Filename list files: the file list kept on disk, one entry per line, every
// line ended by CR LF. A list is saved in the ANSI code page while every name
// has a form there, byte for byte as lists always were, and otherwise in
// UTF-8 with a byte-order mark. One loads by its mark: UTF-8, UTF-16 LE or
// BE; without one it is taken to be in the ANSI code page.

#include <string>
#include <vector>

#include "framework/filesystem.h"

namespace varnex {

struct LoadedList {
  std::vector<std::string> entries;
  // Lines longer than the longest path Windows takes, left out of `entries`:
  // no file has such a name, and one of megabytes would hold up every window
  // that shows it.
  int tooLong = 0;
};

// The file's lines by the shared line model; raises "Cannot open file <path>".
LoadedList LoadFilenameList(const std::string& path, FileSystem& files = SystemFileSystem());

// Raises "Cannot create file <path>".
void SaveFilenameList(const std::string& path, const std::vector<std::string>& entries,
                      FileSystem& files = SystemFileSystem());

}  // namespace varnex
