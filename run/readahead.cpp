#include "run/readahead.h"

#include <exception>

namespace varnex {

ReadAhead::ReadAhead(const std::vector<std::string>& paths, FileSystem& files)
    : ReadAhead(paths, std::vector<bool>(paths.size(), true), Limits(), files) {}

ReadAhead::ReadAhead(const std::vector<std::string>& paths, std::vector<bool> ahead, Limits limits, FileSystem& files)
    : paths_(paths),
      ahead_(std::move(ahead)),
      limits_(limits),
      files_(files),
      slots_(paths.size()),
      thread_([this] { Work(); }) {}

ReadAhead::~ReadAhead() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ReadAhead::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] {
      return stop_ || next_ == slots_.size() ||
             (next_ < taken_ + limits_.files && bytesAhead_ < limits_.bytes);
    });
    if (stop_ || next_ == slots_.size()) return;
    const std::size_t index = next_++;
    Slot& slot = slots_[index];
    // The run may have taken it, or gone past it, meanwhile.
    if (index < taken_ || slot.state != State::kAhead || !ahead_[index]) continue;
    slot.state = State::kReading;
    slot.writes = writes_;
    lock.unlock();
    TargetFile file;
    bool read = false;
    try {
      read = ReadTargetFileIf(paths_[index], [this](const FileStamp& stamp) { return Admit(stamp); }, file, files_);
    } catch (const std::exception&) {
      // Read again in its turn, which raises the error then, or reads a file
      // that was only held for a moment.
    }
    lock.lock();
    reading_ = 0;
    if (read && index >= taken_) {
      bytesAhead_ += file.bytes.size();
      slot.file = std::move(file);
      slot.state = State::kRead;
    } else {
      slot.state = State::kNotRead;
    }
    changed_.notify_all();
  }
}

// On the thread, with the file open: whether to read it ahead.
bool ReadAhead::Admit(const FileStamp& stamp) {
  const std::lock_guard lock(mutex_);
  // A file system without numbers leaves the path's spelling the only guide.
  const bool first = stamp.index == 0 || had_.insert(stamp.index).second;
  if (!first || stamp.size > limits_.largestFile) return false;
  reading_ = stamp.index;
  return true;
}

void ReadAhead::DropPassedOver(Slot& slot) {
  if (slot.state == State::kRead) {
    bytesAhead_ -= slot.file.bytes.size();
    slot.file = TargetFile();
  }
  if (slot.state != State::kReading) slot.state = State::kNotRead;
}

TargetFile ReadAhead::Take(std::size_t index) {
  std::unique_lock lock(mutex_);
  for (; taken_ < index; ++taken_) DropPassedOver(slots_[taken_]);
  Slot& slot = slots_[index];
  // Not started: read here rather than wait for the thread to come to it.
  if (slot.state == State::kAhead) slot.state = State::kNotRead;
  changed_.wait(lock, [&slot] { return slot.state != State::kReading; });
  taken_ = index + 1;
  TargetFile file;
  const bool read = slot.state == State::kRead;
  if (read) {
    bytesAhead_ -= slot.file.bytes.size();
    file = std::move(slot.file);
    slot.file = TargetFile();
    slot.state = State::kNotRead;
  }
  const bool overtaken = slot.writes != writes_;
  lock.unlock();
  changed_.notify_all();
  if (read && (!overtaken || StillAsRead(paths_[index], file.stamp))) return file;
  file = ReadTargetFile(paths_[index], files_);
  lock.lock();
  had_.insert(file.stamp.index);
  return file;
}

void ReadAhead::RunWrote() {
  const std::lock_guard lock(mutex_);
  ++writes_;
}

void ReadAhead::Writing(ULONGLONG fileIndex) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return fileIndex == 0 || reading_ != fileIndex; });
}

bool ReadAhead::StillAsRead(const std::string& path, const FileStamp& read) {
  FileStamp now;
  return files_.PathStamp(path, now) && now.size == read.size && now.lastWrite == read.lastWrite;
}

}  // namespace varnex
