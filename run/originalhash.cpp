#include "run/originalhash.h"

#include <algorithm>

#include "engine/error.h"
#include "engine/stronghash.h"
#include "framework/handle.h"

namespace varnex {

OriginalHash::OriginalHash(FileSystem& files, std::string path, const FileStamp& read)
    : files_(files), path_(std::move(path)), read_(read), thread_([this] {
        // Nothing may leave a thread's function: a piece the memory cannot
        // hold leaves the hash untaken, and Hex refuses the file.
        try {
          Take();
        } catch (const std::exception&) {
        }
      }) {}

OriginalHash::~OriginalHash() {
  wanted_ = false;
  if (thread_.joinable()) thread_.join();
}

std::string OriginalHash::Hex() {
  if (thread_.joinable()) thread_.join();
  if (hex_.empty()) throw Error::Format(kCannotOpenFile, path_);
  return hex_;
}

// Writers are let in: the run's own log may be among its files and take a
// line meanwhile, and the run writes nothing else of the file before Hex. The
// stamps before and after tell whether anyone wrote.
void OriginalHash::Take() {
  const FileHandle file = files_.Open(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN);
  FileStamp now;
  if (!file || !files_.Stamp(file.Get(), now) || now != read_) return;
  StrongHash strong;
  std::string piece(static_cast<std::size_t>(std::min<std::uint64_t>(read_.size, 1 << 22)), '\0');
  for (std::uint64_t left = read_.size; left > 0;) {
    if (!wanted_) return;
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::uint64_t>(left, piece.size()));
    if (!files_.Read(file.Get(), piece.data(), want, got) || got == 0) return;
    strong.Add(std::string_view(piece.data(), got));
    left -= got;
  }
  if (files_.Stamp(file.Get(), now) && now == read_) hex_ = strong.Hex();
}

}  // namespace varnex
