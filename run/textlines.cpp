#include "run/textlines.h"

#include "engine/bytescan.h"

namespace varnex {
namespace {

// Where the line that ends at `lineBreak` (a CR or LF) is followed by the next
// line: CR LF is one line end, every other CR or LF is one of its own.
std::size_t NextLineStart(std::string_view text, std::size_t lineBreak) {
  const bool crlf = text[lineBreak] == '\r' && lineBreak + 1 < text.size() && text[lineBreak + 1] == '\n';
  return lineBreak + (crlf ? 2 : 1);
}

}  // namespace

std::string_view TextBeforeNul(std::string_view bytes) {
  const std::size_t nul = FindBytes(bytes, std::string_view("\0", 1));
  return nul == npos ? bytes : bytes.substr(0, nul);
}

std::vector<std::string_view> SplitLines(std::string_view bytes) {
  const std::string_view text = TextBeforeNul(bytes);
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lineBreak = FindLineBreak(text, start);
    if (lineBreak == npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, lineBreak - start));
    start = NextLineStart(text, lineBreak);
  }
  return lines;
}

std::string NormalizeLineEnds(std::string_view bytes) {
  const std::string_view text = TextBeforeNul(bytes);
  std::string normal;
  normal.reserve(text.size() + 2);
  // Runs that already end their lines with CR LF are copied in one piece.
  std::size_t copied = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lineBreak = FindLineBreak(text, start);
    if (lineBreak == npos) {
      normal.append(text, copied);
      normal.append("\r\n");
      return normal;
    }
    const std::size_t next = NextLineStart(text, lineBreak);
    if (next - lineBreak != 2) {
      normal.append(text, copied, lineBreak - copied);
      normal.append("\r\n");
      copied = next;
    }
    start = next;
  }
  normal.append(text, copied);
  return normal;
}

}  // namespace varnex
