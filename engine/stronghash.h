#pragma once
// A fingerprint of a file's earlier bytes kept for Undo Last Run: BLAKE2b with
// a 256-bit result, so no flipped bit, cut-off end or other file's bytes can
// pass for the original. Fed in pieces as a big file is read.

#include <cstdint>
#include <string>
#include <string_view>

namespace varnex {

class StrongHash {
 public:
  // `bytes` of result, 1 to 64.
  explicit StrongHash(std::size_t bytes = 32);
  void Add(std::string_view piece);
  // The result in lower-case hex; the hash takes nothing more after it.
  std::string Hex();

 private:
  void Compress(const unsigned char* block, bool last);

  std::uint64_t state_[8];
  std::uint64_t counted_ = 0;  // bytes taken in, up to 2^64
  unsigned char block_[128];
  std::size_t held_ = 0;  // bytes in block_, kept until more arrive: the last block is compressed apart
  std::size_t bytes_;
};

// StrongHash of `bytes` at once.
std::string StrongHashHex(std::string_view bytes);

}  // namespace varnex
