#include "engine/paths.h"

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

}  // namespace varnex
