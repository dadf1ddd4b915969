#pragma once
// File names outside any ANSI code page, in UTF-8 as the program holds them:
// what every route a name takes must carry whole.

#include <string>
#include <string_view>
#include <vector>

namespace varnex::testing {

inline std::string U8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

inline const std::string kCyrillicName = U8(u8"Отчёт.txt");
inline const std::string kCjkName = U8(u8"日本語.txt");
inline const std::string kEmojiName = U8(u8"smile😀.txt");

inline std::vector<std::string> NamesInAnyScript() { return {kCyrillicName, kCjkName, kEmojiName}; }

// A folder below `base` whose path is longer than `length` characters, in
// steps of a hundred (no name may pass 255), named in three scripts.
inline std::vector<std::string> LongFolderSteps(const std::string& base, std::size_t length = 300) {
  const auto characters = [](const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
  };
  std::vector<std::string> steps;
  std::string path = base;
  for (int step = 0; characters(path) <= length; ++step) {
    path += "\\" + U8(step % 2 ? u8"глубже-" : u8"深い-") + std::string(90, static_cast<char>('a' + step));
    steps.push_back(path);
  }
  return steps;
}

}  // namespace varnex::testing
