#pragma once
// Typing in the file list: the characters typed in quick succession form a
// prefix, and the list goes to the first entry that begins with it.

#include <cstdint>
#include <optional>
#include <string>

namespace varnex {

class TypeAhead {
 public:
  static constexpr std::uint64_t kPause = 500;  // milliseconds that start a fresh prefix

  // The prefix after `key` was typed at `milliseconds`, or nothing when the key
  // is not one that types (Enter, Tab, Escape ...). Backspace takes the last
  // character away; an empty prefix then means "the first entry".
  std::optional<std::string> Type(char key, std::uint64_t milliseconds);

 private:
  std::string prefix_;
  std::optional<std::uint64_t> lastKey_;
};

}  // namespace varnex
