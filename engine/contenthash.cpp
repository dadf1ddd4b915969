#include "engine/contenthash.h"

#include <cstring>

namespace varnex {
namespace {

constexpr std::uint64_t kPrime = 0x9E3779B97F4A7C15u;

std::uint64_t Mix(std::uint64_t value) {
  value ^= value >> 33;
  value *= 0xFF51AFD7ED558CCDu;
  value ^= value >> 33;
  value *= 0xC4CEB9FE1A85EC53u;
  return value ^ (value >> 33);
}

}  // namespace

// Four lanes of eight bytes each, so a whole file costs little next to reading
// it; the tail and the length go in last, so texts that differ only by
// trailing zero bytes differ.
std::uint64_t ContentHash(std::string_view bytes) {
  std::uint64_t lanes[4] = {kPrime, ~kPrime, kPrime << 1, kPrime >> 1};
  const char* at = bytes.data();
  std::size_t left = bytes.size();
  for (; left >= 32; at += 32, left -= 32) {
    for (int lane = 0; lane < 4; ++lane) {
      std::uint64_t word;
      std::memcpy(&word, at + 8 * lane, 8);
      lanes[lane] = (lanes[lane] ^ word) * kPrime;
      lanes[lane] ^= lanes[lane] >> 29;
    }
  }
  std::uint64_t hash = Mix(lanes[0]) ^ Mix(lanes[1] + 1) ^ Mix(lanes[2] + 2) ^ Mix(lanes[3] + 3);
  for (; left > 0; ++at, --left) hash = (hash ^ static_cast<unsigned char>(*at)) * kPrime;
  return Mix(hash ^ bytes.size());
}

}  // namespace varnex
