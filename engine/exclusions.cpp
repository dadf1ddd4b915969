#include "engine/exclusions.h"

namespace varnex {
namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// The bytes of the UTF-8 character that starts at `at`, so "?" takes a
// whole character.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  std::size_t length = 1;
  while (at + length < text.size() && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) ++length;
  return length;
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

// Greedy, going back only to the last "*": linear for the masks people type.
bool MatchesMask(std::string_view mask, std::string_view name) {
  std::size_t m = 0, n = 0;
  std::size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = ++m;
      starName = n;
    } else if (m < mask.size() && mask[m] == '?') {
      ++m;
      n += CharacterLength(name, n);
    } else if (m < mask.size() && FoldAscii(mask[m]) == FoldAscii(name[n])) {
      ++m;
      ++n;
    } else if (starMask != std::string_view::npos) {
      m = starMask;
      n = starName += CharacterLength(name, starName);
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

ExclusionMasks::ExclusionMasks(std::string_view text) {
  while (!text.empty()) {
    const std::size_t semicolon = text.find(';');
    std::string_view piece = Trimmed(text.substr(0, semicolon));
    text = semicolon == std::string_view::npos ? std::string_view() : text.substr(semicolon + 1);
    const bool foldersOnly = piece.ends_with('\\');
    // A "\" in front ties the mask to the folder scanned, as one inside does.
    const bool fromTop = piece.starts_with('\\');
    while (piece.ends_with('\\')) piece.remove_suffix(1);
    while (piece.starts_with('\\')) piece.remove_prefix(1);
    if (piece.empty()) continue;
    masks_.push_back({std::string(piece), foldersOnly, fromTop || piece.find('\\') != std::string_view::npos});
  }
}

bool ExclusionMasks::Excludes(std::string_view relativePath, bool folder) const {
  const std::size_t separator = relativePath.rfind('\\');
  const std::string_view name = separator == std::string_view::npos ? relativePath : relativePath.substr(separator + 1);
  for (const Mask& mask : masks_) {
    if (mask.foldersOnly && !folder) continue;
    if (MatchesMask(mask.pattern, mask.wholePath ? relativePath : name)) return true;
  }
  return false;
}

}  // namespace varnex
