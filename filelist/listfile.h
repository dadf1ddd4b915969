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

// The file's lines by the shared line model; raises "Cannot open file <path>".
std::vector<std::string> LoadFilenameList(const std::string& path, FileSystem& files = SystemFileSystem());

// Raises "Cannot create file <path>".
void SaveFilenameList(const std::string& path, const std::vector<std::string>& entries,
                      FileSystem& files = SystemFileSystem());

}  // namespace varnex
