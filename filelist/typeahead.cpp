#include "filelist/typeahead.h"

namespace varnex {

std::optional<std::string> TypeAhead::Type(char key, std::uint64_t milliseconds) {
  const bool backspace = key == '\b';
  if (!backspace && static_cast<unsigned char>(key) < ' ') return std::nullopt;
  if (lastKey_ && milliseconds - *lastKey_ >= kPause) prefix_.clear();
  lastKey_ = milliseconds;
  if (!backspace) {
    prefix_ += key;
  } else if (!prefix_.empty()) {
    prefix_.pop_back();
  }
  return prefix_;
}

}  // namespace varnex
