#pragma once
// Text inside the program is UTF-8: typed texts, captions and file names alike
// (a name's lone surrogates kept as engine/encoding.h keeps them, so every name
// Windows allows comes back whole). Win32 takes UTF-16 at its boundary, and
// the stored files take the ANSI code page wherever it holds every character.

#include <string>
#include <string_view>

namespace varnex {

std::wstring Wide(std::string_view text);
std::string Utf8(std::wstring_view text);

// A path for the wide file functions: as it is while it is short enough for
// them, otherwise made full and put in the "\\?\" form, which reaches paths up
// to Windows' limit of 32,767 characters.
std::wstring WidePath(std::string_view path);

// The full path of `path` as GetFullPathNameW gives it, of any length; the
// path as it is where there is none.
std::wstring FullWidePath(const std::wstring& path);

// The text in the ANSI code page; false when one of its characters has no
// form there (nothing is ever put in its place).
bool ToAnsi(std::string_view text, std::string& ansi);
std::string FromAnsi(std::string_view ansi);

}  // namespace varnex
