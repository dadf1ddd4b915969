#include "engine/previewline.h"

#include <algorithm>

namespace varnex {
namespace {

bool IsContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

PreviewLine FirstOccurrenceLine(std::string_view text, std::span<const ShownOccurrence> occurrences, std::size_t room,
                                bool utf8) {
  PreviewLine line;
  if (occurrences.empty()) return line;
  const std::size_t first = occurrences.front().offset;
  const std::size_t firstEnd = first + occurrences.front().length;
  line.number = 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + first, '\n'));

  const std::size_t lineStart = text.rfind('\n', first == 0 ? 0 : first - 1);
  std::size_t start = lineStart == std::string_view::npos || first == 0 ? 0 : lineStart + 1;
  // The line ends at the first line end from the occurrence's end on; an
  // occurrence that starts before it is shown whole.
  std::size_t end = text.find("\r\n", firstEnd);
  if (end == std::string_view::npos) end = text.size();
  for (const ShownOccurrence& occurrence : occurrences) {
    if (occurrence.offset >= end) break;
    end = std::max(end, occurrence.offset + occurrence.length);
  }

  if (first - start > room) {
    start = first - room;
    while (utf8 && start < first && IsContinuationByte(text[start])) ++start;
    line.cutBefore = true;
  }
  if (end - firstEnd > room) {
    end = firstEnd + room;
    while (utf8 && end > firstEnd && IsContinuationByte(text[end])) --end;
    line.cutAfter = true;
  }

  line.before = text.substr(start, end - start);
  std::size_t rest = start;
  for (const ShownOccurrence& occurrence : occurrences) {
    if (occurrence.offset + occurrence.length > end) break;
    line.after.append(text, rest, occurrence.offset - rest);
    line.after.append(occurrence.replacement);
    rest = occurrence.offset + occurrence.length;
  }
  line.after.append(text, rest, end - rest);
  return line;
}

}  // namespace varnex
