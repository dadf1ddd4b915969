#include "run/logfile.h"

#include "engine/error.h"
#include "framework/safereplace.h"
#include "framework/unicode.h"
#include "framework/wholefile.h"
#include "run/failurereason.h"

namespace varnex {
namespace {

// Another copy of the program may hold the log for a moment while it loads or
// rewrites it at start-up; a load or an append waits that long (about a
// second) rather than fail.
constexpr int kSharingRetries = 40;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The byte every copy of the program locks (LockFileEx) while it appends, far
// past the end of any log: readers of the log are never kept out.
constexpr ULONGLONG kAppendLock = ULONGLONG{1} << 62;

// Raised with the reason the failed call left in GetLastError: read it before
// anything else is called.
[[noreturn]] void CannotCreate(const std::string& path, FileSystem& files) {
  throw FileCallFailure(kCannotCreateFile, path, GetLastError(), files);
}

// `bytes` at the file's end as it is under the lock. Wine's append-only
// handles (FILE_APPEND_DATA) take the end and write as two steps, and two
// copies appending at once write lines over each other: the end is taken
// here, by the copy holding the lock.
bool AppendLocked(FileSystem& files, HANDLE file, std::string_view bytes) {
  if (!files.Lock(file, kAppendLock, 1)) return false;
  const bool written = files.ToEnd(file) && WriteWholeBuffer(files, file, bytes);
  const DWORD error = GetLastError();
  files.Unlock(file, kAppendLock, 1);
  SetLastError(error);
  return written;
}

// The log's text from its bytes, and whether they are in UTF-8.
std::string TextOf(std::string_view bytes, bool& utf8) {
  utf8 = bytes.starts_with(kUtf8Mark);
  return utf8 ? std::string(bytes.substr(kUtf8Mark.size())) : FromAnsi(bytes);
}

}  // namespace

std::optional<std::string> LogFile::Load() {
  std::optional<std::string> bytes = LoadBytes();
  if (!bytes) return std::nullopt;
  return TextOf(*bytes, utf8_);
}

std::optional<std::string> LogFile::LoadBytes() {
  // Shared for deleting only: the rewrite moves this very file aside.
  loaded_ = OpenWaiting(files_, path_, GENERIC_READ, FILE_SHARE_DELETE, OPEN_EXISTING, kSharingRetries);
  std::string bytes;
  if (!loaded_ || !ReadWholeFile(files_, loaded_.Get(), bytes)) {
    loaded_.Reset();
    return std::nullopt;
  }
  return bytes;
}

void LogFile::Rewrite(std::string_view text) {
  std::string bytes;
  const bool utf8 = utf8_ || !ToAnsi(text, bytes);
  if (utf8) bytes = std::string(kUtf8Mark).append(text);
  Replace(bytes);
  utf8_ = utf8;
}

void LogFile::Replace(std::string_view bytes) {
  appending_.Reset();  // it would keep the old log from being replaced
  std::string temporary;
  FileHandle file = CreateFileBeside(files_, path_, temporary);
  if (!file) CannotCreate(path_, files_);
  // On disk before it takes the old log's place, so a crash cannot leave a
  // log cut short.
  FileStamp made;
  const bool written =
      WriteWholeBuffer(files_, file.Get(), bytes) && files_.Flush(file.Get()) && files_.Stamp(file.Get(), made);
  if (!written) {
    const Error failure = FileCallFailure(kCannotCreateFile, path_, GetLastError(), files_);
    file.Reset();
    RemoveOurFile(files_, temporary);
    throw failure;
  }
  file.Reset();
  if (PutInPlace(files_, path_, temporary, made, &loaded_) != Placed::kReplacement) CannotCreate(path_, files_);
}

void LogFile::Append(std::string_view text) {
  // No rewrite follows an append; the load's lock would only keep us out.
  loaded_.Reset();
  FileHandle file = appending_ ? std::move(appending_) : OpenForAppending();
  std::string bytes;
  if (file && !utf8_ && !ToAnsi(text, bytes)) {
    file.Reset();
    ConvertToUtf8();
    file = OpenForAppending();
  }
  if (utf8_) bytes = text;
  // A handle that failed is not kept: the next append opens the file afresh.
  if (!file || !AppendLocked(files_, file.Get(), bytes)) CannotCreate(path_, files_);
  if (holdAppends_) appending_ = std::move(file);
}

// The file's form is looked at whenever it is opened: another copy of the
// program may have turned it into UTF-8 since.
FileHandle LogFile::OpenForAppending() {
  FileHandle file = OpenWaiting(files_, path_, FILE_WRITE_DATA | FILE_READ_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                OPEN_ALWAYS, kSharingRetries);
  char start[kUtf8Mark.size()];
  DWORD read = 0;
  if (!file) return {};
  // An empty file's read at its end fails, with nothing read.
  if (!files_.ReadAt(file.Get(), 0, start, sizeof start, read) && GetLastError() != ERROR_HANDLE_EOF) return {};
  utf8_ = std::string_view(start, read) == kUtf8Mark;
  return file;
}

// The whole file as it is on disk now, whatever other copies have appended,
// goes over into UTF-8, each earlier line kept.
void LogFile::ConvertToUtf8() {
  const std::optional<std::string> bytes = LoadBytes();
  if (!bytes) CannotCreate(path_, files_);
  bool utf8 = false;
  const std::string text = TextOf(*bytes, utf8);
  if (!utf8) Replace(std::string(kUtf8Mark) + text);
  loaded_.Reset();
}

}  // namespace varnex
