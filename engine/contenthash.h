#pragma once
// A fingerprint of a file's bytes: equal bytes give equal values, and any
// change a program could make to a file gives another value but for a chance
// of one in 2^64. Not proof against someone forging a collision; it tells
// whether a file is still as we left it.

#include <cstdint>
#include <string_view>

namespace varnex {

std::uint64_t ContentHash(std::string_view bytes);

}  // namespace varnex
