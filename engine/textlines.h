#pragma once
// The text-file line model shared by target files, the activity log and
// filename list files. Reading: a NUL byte ends the text; lines end at CR LF, a
// lone CR or a lone LF (LF CR is two line ends); a last line without a line end
// is a line. Writing: CR LF after every line, the last one included.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

// The bytes in front of the first NUL, or all of them.
std::string_view TextBeforeNul(std::string_view bytes);

// The lines of `bytes`, as views into it.
std::vector<std::string_view> SplitLines(std::string_view bytes, std::vector<std::string_view> recycled = {});

// The lines joined with CR LF after each. Like every `recycled` below, the
// buffer only lends its memory to the result and must not hold the lines.
template <class Lines>
std::string JoinLines(const Lines& lines, std::string recycled = {}) {
  std::size_t size = 0;
  for (const auto& line : lines) size += std::string_view(line).size() + 2;
  std::string text = std::move(recycled);
  text.resize(size);
  char* out = text.data();
  for (const auto& line : lines) {
    const std::string_view view(line);
    out = std::copy(view.begin(), view.end(), out);
    *out++ = '\r';
    *out++ = '\n';
  }
  return text;
}

// JoinLines(SplitLines(bytes)) without building the list of lines: what a file
// read as lines and written back holds. The result takes exactly the memory it
// needs, as it may be as large as the biggest file a user has.
std::string NormalizeLineEnds(std::string_view bytes, std::string recycled = {});
// The same for bytes the caller no longer needs: bytes already in shape are
// handed back as they are, without a copy.
std::string NormalizeLineEndsOwned(std::string&& bytes);
// Whether the bytes are in that shape already.
bool IsInLineShape(std::string_view bytes);

}  // namespace varnex
