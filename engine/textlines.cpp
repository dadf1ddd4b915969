#include "engine/textlines.h"

#include <cstring>

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
  bool whole;  // no NUL cuts the text short
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
  const bool whole = end == bytes.size();
  return {end + loneBreaks + (lastLineOpen ? 2 : 0), whole && loneBreaks == 0 && !lastLineOpen, whole};
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

// Calls onBreak(offset) for every CR and every LF of `text` (which holds no
// NUL), last first: the mirror of ForEachLineBreak.
template <class OnBreak>
void ForEachLineBreakBackward(std::string_view text, OnBreak&& onBreak) {
  const char* bytes = text.data();
  std::size_t block = text.size();
#ifdef __SSE2__
  const __m128i crs = _mm_set1_epi8('\r');
  const __m128i lfs = _mm_set1_epi8('\n');
  auto breaks = [&](const char* p) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<std::uint64_t>(
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, crs), _mm_cmpeq_epi8(chunk, lfs)))));
  };
  for (; block >= 64; block -= 64) {
    const char* p = bytes + block - 64;
    std::uint64_t mask = breaks(p) | breaks(p + 16) << 16 | breaks(p + 32) << 32 | breaks(p + 48) << 48;
    for (; mask != 0; mask &= ~(std::uint64_t{1} << (63 - __builtin_clzll(mask)))) {
      onBreak(block - 64 + static_cast<std::size_t>(63 - __builtin_clzll(mask)));
    }
  }
#endif
  while (block > 0) {
    --block;
    if (bytes[block] == '\r' || bytes[block] == '\n') onBreak(block);
  }
}

// Normalises a text without NUL within its own memory, which has room for the
// result: the text is moved towards its new end, last line first, so no byte
// is overwritten before it has been moved.
std::string NormalizeInPlace(std::string&& bytes, std::size_t size) {
  const std::size_t length = bytes.size();
  bytes.resize(size);
  char* text = bytes.data();
  const std::string_view old(text, length);
  std::size_t to = size;   // where the part already moved begins
  std::size_t from = length;  // where the part not yet moved ends
  const auto lineEndAt = [&](std::size_t at) {
    std::memmove(text + to - (from - at - 1), text + at + 1, from - at - 1);
    to -= from - at - 1;
    to -= 2;
    text[to] = '\r';
    text[to + 1] = '\n';
    from = at;
  };
  // A last line without a line end gets one.
  if (length > 0 && old.back() != '\r' && old.back() != '\n') {
    to -= 2;
    text[to] = '\r';
    text[to + 1] = '\n';
  }
  ForEachLineBreakBackward(old, [&](std::size_t at) {
    const bool lone = old[at] == '\r' ? at + 1 == length || old[at + 1] != '\n' : at == 0 || old[at - 1] != '\r';
    if (lone) lineEndAt(at);
  });
  return std::move(bytes);
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
  // Where the text's memory has room, though not so much that the result
  // would hold far more than it needs (a text read with room for its line
  // ends), and no NUL cuts it short, it grows where it lies: no fresh memory
  // the size of the file, which costs more than the copy itself under some
  // platforms.
  if (shape.whole && shape.size <= bytes.capacity() && bytes.capacity() <= shape.size + shape.size / 16 + 16) {
    return NormalizeInPlace(std::move(bytes), shape.size);
  }
  return Normalize(bytes, shape.size, {});
}

bool IsInLineShape(std::string_view bytes) { return ShapeOf(bytes).unchanged; }

std::string NormalizeLineEnds(std::string_view bytes, std::string recycled) {
  return Normalize(bytes, ShapeOf(bytes).size, std::move(recycled));
}

}  // namespace varnex
