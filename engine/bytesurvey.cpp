#include "engine/bytesurvey.h"

#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace varnex {

void ByteSurvey::AddByte(char byte) {
  high_ |= static_cast<unsigned char>(byte) >= 0x80;
  nul_ |= byte == '\0';
  loneBreak_ |= lastCr_ != (byte == '\n');
  lastCr_ = byte == '\r';
  lastLf_ = byte == '\n';
}

void ByteSurvey::Add(std::string_view piece) {
  if (piece.empty()) return;
  empty_ = false;
  const char* bytes = piece.data();
  std::size_t at = 0;
#ifdef __SSE2__
  // 64 bytes at a time as bit masks: every LF stands right after a CR and
  // every CR right before an LF exactly when the LFs' mask is the CRs' moved
  // up by one, the CR that ended the block before carried in.
  const __m128i crs = _mm_set1_epi8('\r');
  const __m128i lfs = _mm_set1_epi8('\n');
  const __m128i nuls = _mm_setzero_si128();
  const auto mask = [](__m128i hits) { return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hits))); };
  std::uint64_t carried = lastCr_ ? 1 : 0;
  bool high = false, nul = false, lone = false;
  for (; at + 64 <= piece.size(); at += 64) {
    std::uint64_t cr = 0, lf = 0, stops = 0;
    __m128i all = _mm_setzero_si128();
    for (int part = 0; part < 4; ++part) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + 16 * part));
      all = _mm_or_si128(all, chunk);
      cr |= mask(_mm_cmpeq_epi8(chunk, crs)) << (16 * part);
      lf |= mask(_mm_cmpeq_epi8(chunk, lfs)) << (16 * part);
      stops |= mask(_mm_cmpeq_epi8(chunk, nuls));
    }
    high |= mask(all) != 0;
    nul |= stops != 0;
    lone |= lf != (cr << 1 | carried);
    carried = cr >> 63;
  }
  if (at > 0) {
    high_ |= high;
    nul_ |= nul;
    loneBreak_ |= lone;
    lastCr_ = carried != 0;
    lastLf_ = bytes[at - 1] == '\n';
  }
#endif
  for (; at < piece.size(); ++at) AddByte(bytes[at]);
}

}  // namespace varnex
