#pragma once
// Byte scanning shared by the replacement routine and the line model. Texts are
// 8-bit ANSI; these routines treat every byte alike, NUL included.

#include <cstddef>
#include <string_view>

namespace varnex {

inline constexpr std::size_t npos = std::string_view::npos;

// Offset of the first occurrence of `needle` in `haystack` at or after `from`,
// or npos. An empty needle, or one longer than what is left, is never found.
std::size_t FindBytes(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// Offset of the first CR or LF in `text` at or after `from`, or npos.
std::size_t FindLineBreak(std::string_view text, std::size_t from = 0);

// Copies `size` bytes from `source` to `target` with only the ASCII capitals
// A-Z turned into a-z; every other byte, accented letters included, is kept.
void FoldAsciiCase(const char* source, std::size_t size, char* target);

}  // namespace varnex
