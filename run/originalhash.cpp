#include "run/originalhash.h"

#include "engine/error.h"
#include "engine/stronghash.h"
#include "run/filepieces.h"

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
  StrongHash strong;
  const PiecesRead read = ReadInPieces(files_, path_, read_, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       [&](std::string_view piece) {
                                         strong.Add(piece);
                                         return wanted_.load();
                                       });
  if (read == PiecesRead::kWhole) hex_ = strong.Hex();
}

}  // namespace varnex
