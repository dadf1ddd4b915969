#include "engine/binaryfile.h"

#include "engine/bytescan.h"

namespace varnex {
namespace {

bool HasNulUnit(std::string_view bytes, std::size_t from) {
  for (std::size_t at = from; at + 1 < bytes.size(); at += 2) {
    if (bytes[at] == '\0' && bytes[at + 1] == '\0') return true;
  }
  return false;
}

bool UnmarkedUtf16(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return false;
  std::size_t nuls[2] = {0, 0};  // at even and at odd offsets
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    if (bytes[at] == '\0') ++nuls[at % 2];
  }
  const std::size_t units = bytes.size() / 2;
  // Little-endian text has its NULs at odd offsets, big-endian at even ones.
  return (nuls[0] == 0 && 2 * nuls[1] >= units) || (nuls[1] == 0 && 2 * nuls[0] >= units);
}

}  // namespace

bool LooksBinary(std::string_view bytes) {
  if (FindBytes(bytes, std::string_view("\0", 1)) == npos) return false;
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return HasNulUnit(bytes, 2);
  // UTF-8 by its mark, or an odd count of bytes: no UTF-16 in either.
  return bytes.starts_with("\xEF\xBB\xBF") || !UnmarkedUtf16(bytes);
}

}  // namespace varnex
