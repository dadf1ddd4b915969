#include "run/logfile.h"

#include "engine/error.h"
#include "framework/safereplace.h"
#include "framework/wholefile.h"

namespace varnex {
namespace {

// Another copy of the program may hold the log for a moment while it loads or
// rewrites it at start-up; a load or an append waits that long (about a
// second) rather than fail.
constexpr int kSharingRetries = 40;

}  // namespace

std::optional<std::string> LogFile::Load() {
  // Shared for deleting only: the rewrite moves this very file aside.
  loaded_ = OpenWaiting(files_, path_, GENERIC_READ, FILE_SHARE_DELETE, OPEN_EXISTING, kSharingRetries);
  std::string bytes;
  if (!loaded_ || !ReadWholeFile(files_, loaded_.Get(), bytes)) {
    loaded_.Reset();
    return std::nullopt;
  }
  return bytes;
}

void LogFile::Rewrite(std::string_view bytes) {
  appending_.Reset();  // it would keep the old log from being replaced
  std::string temporary;
  FileHandle file = CreateFileBeside(files_, path_, temporary);
  if (!file) throw Error::Format(kCannotCreateFile, path_);
  // On disk before it takes the old log's place, so a crash cannot leave a
  // log cut short.
  FileStamp made;
  const bool written =
      WriteWholeBuffer(files_, file.Get(), bytes) && files_.Flush(file.Get()) && files_.Stamp(file.Get(), made);
  file.Reset();
  if (!written) {
    RemoveOurFile(files_, temporary);
    throw Error::Format(kCannotCreateFile, path_);
  }
  if (PutInPlace(files_, path_, temporary, made, &loaded_) != Placed::kReplacement) {
    throw Error::Format(kCannotCreateFile, path_);
  }
}

void LogFile::Append(std::string_view bytes) {
  // No rewrite follows an append; the load's lock would only keep us out.
  loaded_.Reset();
  FileHandle file = appending_ ? std::move(appending_)
                               : OpenWaiting(files_, path_, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             OPEN_ALWAYS, kSharingRetries);
  // A handle that failed is not kept: the next append opens the file afresh.
  if (!file || !WriteWholeBuffer(files_, file.Get(), bytes)) throw Error::Format(kCannotCreateFile, path_);
  if (holdAppends_) appending_ = std::move(file);
}

}  // namespace varnex
