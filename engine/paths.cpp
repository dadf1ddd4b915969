#include "engine/paths.h"

#include <algorithm>

namespace varnex {
namespace {

std::size_t LastSeparator(std::string_view path) { return path.find_last_of("\\:"); }

}  // namespace

std::string_view ExtractFileDir(std::string_view path) {
  const std::size_t at = LastSeparator(path);
  if (at == std::string_view::npos) return {};
  const bool keepSeparator = path[at] == ':' || at == 0 || path[at - 1] == ':' || path[at - 1] == '\\';
  return path.substr(0, keepSeparator ? at + 1 : at);
}

std::string_view ExtractFileName(std::string_view path) {
  const std::size_t at = LastSeparator(path);
  return at == std::string_view::npos ? path : path.substr(at + 1);
}

std::string_view ExtractFileExt(std::string_view path) {
  const std::size_t at = path.find_last_of(".\\:");
  if (at == std::string_view::npos || path[at] != '.') return {};
  return path.substr(at);
}

std::string FileExt(std::string_view extension) {
  if (extension.empty()) return {};
  // The dot becomes a blank, and the trimming below takes it with whatever
  // blanks or control characters came after it.
  std::size_t start = 1;
  while (start < extension.size() && static_cast<unsigned char>(extension[start]) <= ' ') ++start;
  return std::string(extension.substr(start));
}

std::string_view BaseName(std::string_view path) {
  const std::string_view name = ExtractFileName(path);
  if (name.size() < 2) return name;
  const std::size_t dot = name.substr(0, name.size() - 1).rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

bool FitsLongestPath(std::string_view path) {
  // A UTF-16 unit for every character, two for one past U+FFFF (a lead byte
  // of four); the count stops as soon as the answer is known.
  std::size_t units = 0;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
    if (units > 32767) return false;
  }
  return true;
}

std::string ShortenedInMiddle(std::string_view text, std::size_t longest) {
  const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
  std::string shortened;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    if (line.size() <= longest) {
      shortened += line;
    } else {
      std::size_t tail = line.rfind('\\');
      if (tail == std::string_view::npos || line.size() - tail > longest / 2) tail = line.size() - longest / 2;
      while (tail < line.size() && continuation(line[tail])) ++tail;
      std::size_t head = longest - (line.size() - tail) - 3;
      while (head > 0 && continuation(line[head])) --head;
      shortened.append(line.substr(0, head)).append("...").append(line.substr(tail));
    }
    if (end < text.size()) shortened += '\n';
    start = end + 1;
  }
  return shortened;
}

}  // namespace varnex
