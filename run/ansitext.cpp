#include "run/ansitext.h"

#include <windows.h>

namespace varnex {

std::string AnsiToFileText(std::string_view ansi, TextEncoding encoding) {
  if (encoding == TextEncoding::kAnsi || ansi.empty()) return std::string(ansi);
  const int length = static_cast<int>(ansi.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), static_cast<int>(wide.size()));
  return Utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace varnex
