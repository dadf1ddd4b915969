#include "filelist/searchpatterns.h"

#include "engine/paths.h"

namespace varnex {

std::string_view FolderPart(std::string_view path) {
  return path.substr(0, path.size() - ExtractFileName(path).size());
}

std::vector<SearchPattern> SplitSearchFile(std::string_view searchFile) {
  std::vector<SearchPattern> patterns;
  std::string_view rest = searchFile;
  std::string folder;
  // The first piece is always a pattern, even an empty one; later pieces only
  // while text is left after a ";".
  do {
    const std::size_t semicolon = rest.find(';');
    const std::string pattern = folder + std::string(rest.substr(0, semicolon));
    rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
    folder = FolderPart(pattern);
    patterns.push_back({folder, std::string(ExtractFileName(pattern))});
  } while (!rest.empty());
  return patterns;
}

}  // namespace varnex
