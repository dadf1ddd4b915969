#include "engine/textlines.h"

#include "engine/bytescan.h"

namespace varnex {
namespace {

// Where the line that ends at `lineBreak` (a CR or LF) is followed by the next
// line: CR LF is one line end, every other CR or LF is one of its own.
std::size_t NextLineStart(std::string_view text, std::size_t lineBreak) {
  const bool crlf = text[lineBreak] == '\r' && lineBreak + 1 < text.size() && text[lineBreak + 1] == '\n';
  return lineBreak + (crlf ? 2 : 1);
}

// What normalising `bytes` makes of them: how long the result is, and whether
// it is the bytes themselves (no NUL, no lone CR or LF, a line end at the end).
struct NormalizedShape {
  std::size_t size;
  bool unchanged;
};

NormalizedShape ShapeOf(std::string_view bytes) {
  std::size_t loneBreaks = 0;
  std::size_t start = 0;
  const std::size_t end = ForEachLineBreak(bytes, [&](std::size_t lineBreak) {
    if (lineBreak < start) return;  // the LF of a CR LF
    start = NextLineStart(bytes, lineBreak);
    if (start - lineBreak == 1) ++loneBreaks;
  });
  const bool lastLineOpen = start < end;
  return {end + loneBreaks + (lastLineOpen ? 2 : 0), end == bytes.size() && loneBreaks == 0 && !lastLineOpen};
}

std::string Normalize(std::string_view bytes, std::size_t size, std::string recycled) {
  std::string normal = std::move(recycled);
  normal.clear();
  normal.reserve(size);
  // Runs whose lines already end with CR LF are copied in one piece.
  std::size_t copied = 0;
  std::size_t start = 0;
  const std::size_t end = ForEachLineBreak(bytes, [&](std::size_t lineBreak) {
    if (lineBreak < start) return;  // the LF of a CR LF
    start = NextLineStart(bytes, lineBreak);
    if (start - lineBreak == 2) return;
    normal.append(bytes, copied, lineBreak - copied);
    normal.append("\r\n");
    copied = start;
  });
  normal.append(bytes, copied, end - copied);
  if (start < end) normal.append("\r\n");
  return normal;
}

}  // namespace

std::string_view TextBeforeNul(std::string_view bytes) {
  const std::size_t nul = FindBytes(bytes, std::string_view("\0", 1));
  return nul == npos ? bytes : bytes.substr(0, nul);
}

std::vector<std::string_view> SplitLines(std::string_view bytes, std::vector<std::string_view> recycled) {
  std::vector<std::string_view> lines = std::move(recycled);
  lines.clear();
  std::size_t start = 0;
  const std::size_t end = ForEachLineBreak(bytes, [&](std::size_t lineBreak) {
    if (lineBreak < start) return;  // the LF of a CR LF
    lines.push_back(bytes.substr(start, lineBreak - start));
    start = NextLineStart(bytes, lineBreak);
  });
  if (start < end) lines.push_back(bytes.substr(start, end - start));
  return lines;
}

std::string NormalizeLineEndsOwned(std::string&& bytes) {
  const NormalizedShape shape = ShapeOf(bytes);
  if (shape.unchanged) return std::move(bytes);
  return Normalize(bytes, shape.size, {});
}

bool IsInLineShape(std::string_view bytes) { return ShapeOf(bytes).unchanged; }

std::string NormalizeLineEnds(std::string_view bytes, std::string recycled) {
  return Normalize(bytes, ShapeOf(bytes).size, std::move(recycled));
}

}  // namespace varnex
