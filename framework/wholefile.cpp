#include "framework/wholefile.h"

#include <algorithm>

namespace varnex {
namespace {

constexpr std::size_t kLargestPiece = std::size_t{1} << 30;
// A big file is read a megabyte at a time: each piece of memory is made ready
// and filled while it is in the cache, where one read of the whole would
// first clear all of it and then fill it from memory.
constexpr std::size_t kReadPiece = std::size_t{1} << 20;

}  // namespace

bool ReadWholeFile(FileSystem& files, HANDLE file, std::string& bytes,
                   const std::function<void(std::string_view)>& onPiece) {
  LARGE_INTEGER size;
  if (!files.Size(file, size)) return false;
  const auto expected = static_cast<std::size_t>(size.QuadPart);
  bytes.clear();
  bytes.reserve(expected);
  while (bytes.size() < expected) {
    const std::size_t done = bytes.size();
    const DWORD chunk = static_cast<DWORD>(std::min(expected - done, kReadPiece));
    bytes.resize(done + chunk);
    DWORD read = 0;
    if (!files.Read(file, bytes.data() + done, chunk, read)) return false;
    bytes.resize(done + read);
    if (read == 0) break;  // the file shrank meanwhile
    if (onPiece) onPiece(std::string_view(bytes).substr(done));
  }
  return true;
}

bool WriteWholeBuffer(FileSystem& files, HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kLargestPiece));
    DWORD written = 0;
    if (!files.Write(file, bytes.data(), chunk, written) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace varnex
