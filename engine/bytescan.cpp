#include "engine/bytescan.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace varnex {
namespace {

#ifdef __SSE2__
__m128i Load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
unsigned Mask(__m128i bytes) { return static_cast<unsigned>(_mm_movemask_epi8(bytes)); }
#endif

char FoldedByte(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c; }

#ifdef __SSE2__
// Sixteen bytes with the ASCII capitals turned into small letters. Shifting
// 'A' to -128 turns "is a capital" into one signed comparison.
__m128i FoldedBlock(__m128i bytes) {
  const __m128i capitals =
      _mm_cmplt_epi8(_mm_add_epi8(bytes, _mm_set1_epi8(static_cast<char>(128 - 'A'))), _mm_set1_epi8(-128 + 26));
  return _mm_or_si128(bytes, _mm_and_si128(capitals, _mm_set1_epi8(0x20)));
}
#endif

// The text's bytes as the search compares them: as they are, or folded.
template <bool kFolded>
struct Comparison {
  static char Byte(char c) { return kFolded ? FoldedByte(c) : c; }
#ifdef __SSE2__
  static __m128i Block(const char* p) { return kFolded ? FoldedBlock(Load(p)) : Load(p); }
#endif
  static bool MiddleMatches(const char* candidate, std::string_view needle) {
    // First and last byte are already known to match.
    if (needle.size() <= 2) return true;
    if (!kFolded) return std::memcmp(candidate + 1, needle.data() + 1, needle.size() - 2) == 0;
    for (std::size_t i = 1; i + 1 < needle.size(); ++i) {
      if (FoldedByte(candidate[i]) != needle[i]) return false;
    }
    return true;
  }
};

template <bool kFolded>
std::size_t Find(std::string_view haystack, std::string_view needle, std::size_t from) {
  using Compared = Comparison<kFolded>;
  const std::size_t size = haystack.size();
  const std::size_t length = needle.size();
  if (length == 0 || from > size || length > size - from) return npos;

  // Candidates are filtered on the needle's first and last byte together, 16
  // positions at a time, which keeps the filter selective on ordinary text.
  const char* text = haystack.data();
  const char first = needle.front();
  const char last = needle.back();
  const std::size_t end = size - length + 1;  // one past the last possible start
  std::size_t at = from;
#ifdef __SSE2__
  const __m128i firsts = _mm_set1_epi8(first);
  const __m128i lasts = _mm_set1_epi8(last);
  auto candidates = [&](std::size_t p) {
    return _mm_and_si128(_mm_cmpeq_epi8(Compared::Block(text + p), firsts),
                         _mm_cmpeq_epi8(Compared::Block(text + p + length - 1), lasts));
  };
  // Most blocks of a long text hold no candidate at all: 64 positions are
  // ruled out with one test before they are looked at one by one.
  for (; at + 64 <= end; at += 64) {
    const __m128i a = candidates(at), b = candidates(at + 16), c = candidates(at + 32), d = candidates(at + 48);
    if (Mask(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0) continue;
    std::uint64_t hits = Mask(a) | std::uint64_t{Mask(b)} << 16 | std::uint64_t{Mask(c)} << 32 |
                         std::uint64_t{Mask(d)} << 48;
    for (; hits != 0; hits &= hits - 1) {
      const std::size_t candidate = at + static_cast<std::size_t>(__builtin_ctzll(hits));
      if (Compared::MiddleMatches(text + candidate, needle)) return candidate;
    }
  }
  for (; at + 16 <= end; at += 16) {
    for (unsigned hits = Mask(candidates(at)); hits != 0; hits &= hits - 1) {
      const std::size_t candidate = at + static_cast<std::size_t>(__builtin_ctz(hits));
      if (Compared::MiddleMatches(text + candidate, needle)) return candidate;
    }
  }
#endif
  for (; at < end; ++at) {
    if (Compared::Byte(text[at]) == first && Compared::Byte(text[at + length - 1]) == last &&
        Compared::MiddleMatches(text + at, needle)) {
      return at;
    }
  }
  return npos;
}

}  // namespace

std::size_t FindBytes(std::string_view haystack, std::string_view needle, std::size_t from) {
  return Find<false>(haystack, needle, from);
}

std::size_t FindFoldedBytes(std::string_view haystack, std::string_view foldedNeedle, std::size_t from) {
  return Find<true>(haystack, foldedNeedle, from);
}

void FoldAsciiCase(const char* source, std::size_t size, char* target) {
  std::size_t at = 0;
#ifdef __SSE2__
  for (; at + 16 <= size; at += 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + at), FoldedBlock(Load(source + at)));
  }
#endif
  for (; at < size; ++at) target[at] = FoldedByte(source[at]);
}

}  // namespace varnex
