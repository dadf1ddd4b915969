#include "filelist/opennames.h"

#include <algorithm>

namespace varnex {

std::vector<std::string> PickedFiles(std::string_view dialogBuffer) {
  std::vector<std::string_view> parts;
  std::size_t at = 0;
  while (at < dialogBuffer.size() && dialogBuffer[at] != '\0') {
    const std::size_t end = std::min(dialogBuffer.find('\0', at), dialogBuffer.size());
    parts.push_back(dialogBuffer.substr(at, end - at));
    at = end + 1;
  }
  if (parts.size() <= 1) return std::vector<std::string>(parts.begin(), parts.end());

  const std::string_view folder = parts.front();
  const std::string separator = folder.ends_with('\\') ? "" : "\\";
  std::vector<std::string> files;
  for (std::size_t i = 1; i < parts.size(); ++i) files.push_back(std::string(folder) + separator + std::string(parts[i]));
  return files;
}

}  // namespace varnex
