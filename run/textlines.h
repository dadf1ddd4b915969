#pragma once
// The text-file line model shared by target files, the activity log and
// filename list files. Reading: a NUL byte ends the text; lines end at CR LF, a
// lone CR or a lone LF (LF CR is two line ends); a last line without a line end
// is a line. Writing: CR LF after every line, the last one included.

#include <string>
#include <string_view>
#include <vector>

namespace varnex {

// The bytes in front of the first NUL, or all of them.
std::string_view TextBeforeNul(std::string_view bytes);

// The lines of `bytes`, as views into it.
std::vector<std::string_view> SplitLines(std::string_view bytes);

// The lines joined with CR LF after each.
template <class Lines>
std::string JoinLines(const Lines& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += std::string_view(line).size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text.append(line);
    text.append("\r\n");
  }
  return text;
}

// JoinLines(SplitLines(bytes)) in one pass, without building the list of lines:
// what a file read as lines and written back holds.
std::string NormalizeLineEnds(std::string_view bytes);

}  // namespace varnex
