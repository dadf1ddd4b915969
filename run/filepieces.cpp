#include "run/filepieces.h"

#include <algorithm>

#include "framework/handle.h"

namespace varnex {

PiecesRead ReadInPieces(FileSystem& files, const std::string& path, const FileStamp& read, DWORD share,
                        const std::function<bool(std::string_view piece)>& take) {
  const FileHandle file = files.Open(path, GENERIC_READ, share, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  FileStamp now;
  if (!file || !files.Stamp(file.Get(), now) || now != read) return PiecesRead::kUnreadable;
  std::string piece(static_cast<std::size_t>(std::min<std::uint64_t>(read.size, 1 << 22)), '\0');
  for (std::uint64_t left = read.size; left > 0;) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::uint64_t>(left, piece.size()));
    if (!files.Read(file.Get(), piece.data(), want, got) || got == 0) return PiecesRead::kUnreadable;
    if (!take(std::string_view(piece.data(), got))) return PiecesRead::kStopped;
    left -= got;
  }
  return files.Stamp(file.Get(), now) && now == read ? PiecesRead::kWhole : PiecesRead::kUnreadable;
}

}  // namespace varnex
