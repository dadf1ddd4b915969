#pragma once
// Typing in a list (the file list, the folder list): the characters typed in
// quick succession form a prefix, and the list goes to the first entry that
// begins with it.

#include <cstdint>
#include <optional>
#include <string>

namespace varnex {

class TypeAhead {
 public:
  static constexpr std::uint64_t kPause = 500;  // milliseconds that start a fresh prefix

  // The prefix (UTF-8) after the UTF-16 unit `key` was typed at
  // `milliseconds`, or nothing when the key is not one that types (Enter, Tab,
  // Escape ...) or is the first half of a character outside the Basic
  // Multilingual Plane, which comes as two keys. Backspace takes the last
  // character away; an empty prefix then means "the first entry".
  std::optional<std::string> Type(char16_t key, std::uint64_t milliseconds);
  // The next key starts a fresh prefix.
  void Clear() { prefix_.clear(), lastKey_.reset(), highSurrogate_ = 0; }

 private:
  std::string prefix_;
  std::optional<std::uint64_t> lastKey_;
  char16_t highSurrogate_ = 0;  // the first half of a character, while its second is to come
};

}  // namespace varnex
