// Search-pattern splitting against the rules written plainly. Input: the
// search text as typed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "filelist/searchpatterns.h"
#include "tests/fuzz/check.h"

namespace {

using varnex::SearchPattern;

std::size_t FolderLength(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\:");
  return cut == path.npos ? 0 : cut + 1;
}

// Cut at every ";", drop the empty piece a final ";" leaves (but never the
// first piece), then read each piece in the folder of the one before it.
std::vector<SearchPattern> PlainSplit(std::string_view text) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0;;) {
    const std::size_t semicolon = text.find(';', start);
    pieces.push_back(text.substr(start, semicolon - start));
    if (semicolon == text.npos) break;
    start = semicolon + 1;
  }
  if (pieces.size() > 1 && pieces.back().empty()) pieces.pop_back();

  std::vector<SearchPattern> patterns;
  std::string folder;
  for (std::string_view piece : pieces) {
    const std::string path = folder + std::string(piece);
    folder = path.substr(0, FolderLength(path));
    patterns.push_back({folder, path.substr(folder.size())});
  }
  return patterns;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(varnex::FolderPart(text) == text.substr(0, FolderLength(text)));
  FUZZ_CHECK(varnex::SplitSearchFile(text) == PlainSplit(text));
  return 0;
}
