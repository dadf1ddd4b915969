#include "framework/wholefile.h"

#include <algorithm>

namespace varnex {
namespace {

constexpr std::size_t kLargestPiece = std::size_t{1} << 30;

}  // namespace

bool ReadWholeFile(FileSystem& files, HANDLE file, std::string& bytes) {
  LARGE_INTEGER size;
  if (!files.Size(file, size)) return false;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kLargestPiece));
    DWORD read = 0;
    if (!files.Read(file, bytes.data() + done, chunk, read)) return false;
    if (read == 0) break;  // the file shrank meanwhile
    done += read;
  }
  bytes.resize(done);
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
