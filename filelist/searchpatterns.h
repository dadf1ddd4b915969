#pragma once
// The search text of a directory scan: a folder and one or more masks separated
// by ";", each mask searched in the folder of the pattern before it.

#include <string>
#include <string_view>
#include <vector>

namespace varnex {

struct SearchPattern {
  std::string folder;  // up to and including the last "\" or ":"; may be empty
  std::string mask;    // the name part after it; may be empty

  bool operator==(const SearchPattern&) const = default;
};

// Everything up to and including the last "\" or ":" (empty when there is none).
std::string_view FolderPart(std::string_view path);

// One pattern per ";"-separated piece, spaces kept. Each piece is joined to the
// folder part of the pattern before it, so a piece with a folder of its own
// moves the pieces after it there. A ";" at the very end adds nothing.
std::vector<SearchPattern> SplitSearchFile(std::string_view searchFile);

}  // namespace varnex
