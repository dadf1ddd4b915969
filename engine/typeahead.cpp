#include "engine/typeahead.h"

#include "engine/encoding.h"

namespace varnex {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void RemoveLastCharacter(std::string& text) {
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
  if (!text.empty()) text.pop_back();
}

}  // namespace

std::optional<std::string> TypeAhead::Type(char16_t key, std::uint64_t milliseconds) {
  std::u16string typed(1, key);
  if (IsLowSurrogate(key) && highSurrogate_ != 0) typed.insert(typed.begin(), highSurrogate_);
  highSurrogate_ = 0;
  if (IsHighSurrogate(key)) {
    highSurrogate_ = key;
    return std::nullopt;
  }
  const bool backspace = key == u'\b';
  if (!backspace && key < u' ') return std::nullopt;
  if (lastKey_ && milliseconds - *lastKey_ >= kPause) prefix_.clear();
  lastKey_ = milliseconds;
  if (backspace) {
    RemoveLastCharacter(prefix_);
  } else {
    prefix_ += Utf8FromUtf16(typed);
  }
  return prefix_;
}

}  // namespace varnex
