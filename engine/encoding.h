#pragma once
// The encodings of text files. A file's encoding is decided once, when it is
// read: UTF-16 LE or BE and UTF-8 by their byte-order marks, UTF-8 without a
// mark when it holds a byte above 127 and is valid UTF-8 throughout, and the
// ANSI code page otherwise (a pure-ASCII file reads the same in all of them).
//
// The run works on 8-bit text: ANSI and UTF-8 files as they are (without their
// mark), UTF-16 files turned into UTF-8. Lone surrogates, which UTF-16 files
// may hold, become the three bytes UTF-8 would give them had it allowed them,
// so every UTF-16 file comes back byte for byte. CR, LF, NUL and A-Z are the
// same code points in every encoding, so the line model and the letter-case
// rule work on the 8-bit text alike, and a find text converted the same way
// matches exactly where it would match in the file's own code units.

#include <string>
#include <string_view>

namespace varnex {

enum class TextEncoding { kAnsi, kUtf8, kUtf8WithMark, kUtf16Le, kUtf16Be };

TextEncoding DetectEncoding(std::string_view bytes);
// Whether every byte is below 128: such a file reads the same in the ANSI code
// page and in UTF-8.
bool IsAscii(std::string_view bytes);

// The file's text in the run's 8-bit form, its mark left out.
std::string DecodeFileText(std::string_view bytes, TextEncoding encoding);
// The same for bytes the caller gives up: ANSI and unmarked UTF-8 files are
// their own text, without a copy.
std::string TakeFileText(std::string&& bytes, TextEncoding encoding);
// The 8-bit text back in the file's encoding, with its mark if it had one.
std::string EncodeFileText(std::string_view text, TextEncoding encoding);
// The same for a text the caller gives up.
std::string GiveFileText(std::string&& text, TextEncoding encoding);

// False for a file that is no text file in its encoding, which is then left
// alone: a NUL byte in an ANSI or UTF-8 file; a NUL code unit, or an odd byte
// at the end, in a UTF-16 file.
bool IsTextIn(std::string_view bytes, TextEncoding encoding);

// UTF-16 code units as UTF-8 (lone surrogates kept, see above), and back.
std::string Utf8FromUtf16(std::u16string_view units);
std::u16string Utf16FromUtf8(std::string_view text);
// The same units in a string of the caller's kind (std::wstring, whose
// wchar_t is Windows' UTF-16 unit), made there without a copy.
template <typename Units>
Units Utf16UnitsFromUtf8(std::string_view text);
extern template std::u16string Utf16UnitsFromUtf8(std::string_view text);
extern template std::wstring Utf16UnitsFromUtf8(std::string_view text);
// Whether every byte sequence of `bytes` is valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace varnex
