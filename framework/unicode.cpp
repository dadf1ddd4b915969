#include "framework/unicode.h"

#include <windows.h>

#include "engine/encoding.h"

namespace varnex {
namespace {

// The longest path the plain form takes everywhere: a folder's, which must
// leave room for an 8.3 name within MAX_PATH.
constexpr std::size_t kPlainPathLimit = 247;

}  // namespace

std::wstring FullWidePath(const std::wstring& path) {
  std::wstring full(path.size() + MAX_PATH, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length > full.size()) {
    full.resize(length);
    length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length > full.size()) return path;
  full.resize(length);
  return full;
}

std::wstring Wide(std::string_view text) { return Utf16UnitsFromUtf8<std::wstring>(text); }

std::string Utf8(std::wstring_view text) {
  return Utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

std::wstring WidePath(std::string_view path) {
  std::wstring wide = Wide(path);
  if (wide.size() <= kPlainPathLimit || wide.starts_with(L"\\\\?\\")) return wide;
  wide = FullWidePath(wide);
  if (wide.starts_with(L"\\\\?\\") || wide.starts_with(L"\\\\.\\")) return wide;
  if (wide.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + wide.substr(2);
  return L"\\\\?\\" + wide;
}

bool ToAnsi(std::string_view text, std::string& ansi) {
  const std::wstring wide = Wide(text);
  ansi.clear();
  if (wide.empty()) return true;
  BOOL defaulted = FALSE;
  const int length = static_cast<int>(wide.size());
  ansi.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr, &defaulted)));
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(), static_cast<int>(ansi.size()),
                      nullptr, &defaulted);
  return defaulted == FALSE;
}

std::string FromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int length = static_cast<int>(ansi.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), static_cast<int>(wide.size()));
  return Utf8(wide);
}

}  // namespace varnex
