#pragma once
// What Add Directory leaves out of a scan: masks of folders and files
// separated by ";" (".git;node_modules;*.min.js;bin\"). A mask ending in "\"
// takes folders only; one with a "\" in front or inside is matched against
// the path below the folder scanned ("docs\build\", "\bin\"), any other
// against the name alone, at any depth. "*" stands for any run of characters, "?" for one, and ASCII
// letters match whatever their case, as in a Windows file mask.

#include <string>
#include <string_view>
#include <vector>

namespace varnex {

class ExclusionMasks {
 public:
  ExclusionMasks() = default;
  // Blanks around each mask are dropped, and empty masks ignored.
  explicit ExclusionMasks(std::string_view text);

  bool Empty() const { return masks_.empty(); }
  // Whether the entry at `relativePath` (below the folder scanned, "\"
  // between its parts, no "\" at its end) is left out.
  bool Excludes(std::string_view relativePath, bool folder) const;

 private:
  struct Mask {
    std::string pattern;
    bool foldersOnly;
    bool wholePath;
  };
  std::vector<Mask> masks_;
};

// Whether `name` matches the wildcard `mask`, ASCII letters whatever their case.
bool MatchesMask(std::string_view mask, std::string_view name);

}  // namespace varnex
