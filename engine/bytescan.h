#pragma once
// Byte scanning shared by the replacement routine and the line model. Texts are
// 8-bit ANSI; these routines treat every byte alike, NUL included.

#include <cstddef>
#include <cstdint>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace varnex {

inline constexpr std::size_t npos = std::string_view::npos;

// Offset of the first occurrence of `needle` in `haystack` at or after `from`,
// or npos. An empty needle, or one longer than what is left, is never found.
std::size_t FindBytes(std::string_view haystack, std::string_view needle, std::size_t from = 0);
// The same with the ASCII capitals A-Z of the haystack read as a-z, for a
// needle already folded so (see FoldAsciiCase).
std::size_t FindFoldedBytes(std::string_view haystack, std::string_view foldedNeedle, std::size_t from = 0);

// Calls onBreak(offset) for every CR and every LF in front of the first NUL of
// `text`, in order, and returns the offset of that NUL (or the size): where the
// text ends for the line model. Lines are short, so the breaks are taken from a
// bit mask of 64 bytes at a time rather than by a fresh search after each one.
template <class OnBreak>
std::size_t ForEachLineBreak(std::string_view text, OnBreak&& onBreak) {
  const char* bytes = text.data();
  const std::size_t size = text.size();
  std::size_t block = 0;
#ifdef __SSE2__
  const __m128i crs = _mm_set1_epi8('\r');
  const __m128i lfs = _mm_set1_epi8('\n');
  const __m128i nuls = _mm_setzero_si128();
  auto stops = [&](const char* p) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, crs), _mm_cmpeq_epi8(chunk, lfs)),
                                      _mm_cmpeq_epi8(chunk, nuls));
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hits)));
  };
  for (; block + 64 <= size; block += 64) {
    const char* p = bytes + block;
    std::uint64_t mask = stops(p) | stops(p + 16) << 16 | stops(p + 32) << 32 | stops(p + 48) << 48;
    for (; mask != 0; mask &= mask - 1) {
      const std::size_t at = block + static_cast<std::size_t>(__builtin_ctzll(mask));
      if (bytes[at] == '\0') return at;
      onBreak(at);
    }
  }
#endif
  for (std::size_t at = block; at < size; ++at) {
    if (bytes[at] == '\0') return at;
    if (bytes[at] == '\r' || bytes[at] == '\n') onBreak(at);
  }
  return size;
}

// Copies `size` bytes from `source` to `target` with only the ASCII capitals
// A-Z turned into a-z; every other byte, accented letters included, is kept.
void FoldAsciiCase(const char* source, std::size_t size, char* target);

}  // namespace varnex
