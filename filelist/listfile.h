#pragma once
// Filename list files: the file list kept on disk, one entry per line, every
// line ended by CR LF.

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
