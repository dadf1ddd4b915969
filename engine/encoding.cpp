#include "engine/encoding.h"

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/bytescan.h"

namespace varnex {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// Where the first byte above 127 is, or the size: most files have none, and
// are read sixteen bytes at a time (eight without SSE2).
std::size_t FirstHighByte(std::string_view bytes) {
  std::size_t at = 0;
#ifdef __SSE2__
  for (; at + 16 <= bytes.size(); at += 16) {
    if (_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at))) != 0) break;
  }
#endif
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    if (word & 0x8080808080808080ULL) break;
  }
  while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80) ++at;
  return at;
}

bool LittleEndian(TextEncoding encoding) { return encoding == TextEncoding::kUtf16Le; }

char16_t UnitAt(std::string_view bytes, std::size_t at, bool littleEndian) {
  const auto low = static_cast<unsigned char>(bytes[at + (littleEndian ? 0 : 1)]);
  const auto high = static_cast<unsigned char>(bytes[at + (littleEndian ? 1 : 0)]);
  return static_cast<char16_t>(high << 8 | low);
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void AppendUnit(std::string& out, char16_t unit, bool littleEndian) {
  const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
  out += littleEndian ? low : high;
  out += littleEndian ? high : low;
}

// Reads one sequence of the run's 8-bit form of a UTF-16 text (UTF-8 with lone
// surrogates allowed) at `at`; false when it is none.
bool ReadSequence(std::string_view text, std::size_t& at, char32_t& code) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const auto follow = [&](std::size_t count, char32_t value, char32_t least) {
    if (at + count >= text.size()) return false;
    for (std::size_t i = 1; i <= count; ++i) {
      const auto next = static_cast<unsigned char>(text[at + i]);
      if ((next & 0xC0) != 0x80) return false;
      value = value << 6 | (next & 0x3F);
    }
    if (value < least || value > 0x10FFFF) return false;
    code = value;
    at += count + 1;
    return true;
  };
  if (lead < 0x80) return follow(0, lead, 0);
  if ((lead & 0xE0) == 0xC0) return follow(1, lead & 0x1F, 0x80);
  if ((lead & 0xF0) == 0xE0) return follow(2, lead & 0x0F, 0x800);
  if ((lead & 0xF8) == 0xF0) return follow(3, lead & 0x07, 0x10000);
  return false;
}

// Calls `take` with each UTF-16 code unit of the 8-bit text. A byte that starts
// no valid sequence (never made by decoding) stands for the code point of its
// value.
template <typename Take>
void ForEachUtf16Unit(std::string_view text, Take take) {
  for (std::size_t at = 0; at < text.size();) {
    char32_t code;
    if (!ReadSequence(text, at, code)) code = static_cast<unsigned char>(text[at++]);
    if (code >= 0x10000) {
      take(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      take(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      take(static_cast<char16_t>(code));
    }
  }
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t code;
    if (!ReadSequence(bytes, at, code) || (code >= 0xD800 && code <= 0xDFFF)) return false;
  }
  return true;
}

TextEncoding DetectEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeMark)) return TextEncoding::kUtf16Le;
  if (bytes.starts_with(kUtf16BeMark)) return TextEncoding::kUtf16Be;
  if (bytes.starts_with(kUtf8Mark)) return TextEncoding::kUtf8WithMark;
  // What comes before the first byte above 127 is ASCII, valid in any case.
  const std::size_t high = FirstHighByte(bytes);
  return high < bytes.size() && IsValidUtf8(bytes.substr(high)) ? TextEncoding::kUtf8 : TextEncoding::kAnsi;
}

bool IsAscii(std::string_view bytes) { return FirstHighByte(bytes) == bytes.size(); }

std::string Utf8FromUtf16(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

template <typename Units>
Units Utf16UnitsFromUtf8(std::string_view text) {
  // The ASCII start, a whole path as a rule, a unit for each byte.
  const std::size_t ascii = FirstHighByte(text);
  Units units;
  units.reserve(text.size());
  units.assign(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(ascii));
  ForEachUtf16Unit(text.substr(ascii),
                   [&](char16_t unit) { units.push_back(static_cast<typename Units::value_type>(unit)); });
  return units;
}
template std::u16string Utf16UnitsFromUtf8(std::string_view text);
template std::wstring Utf16UnitsFromUtf8(std::string_view text);

std::u16string Utf16FromUtf8(std::string_view text) { return Utf16UnitsFromUtf8<std::u16string>(text); }

std::string DecodeFileText(std::string_view bytes, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kAnsi:
    case TextEncoding::kUtf8:
      return std::string(bytes);
    case TextEncoding::kUtf8WithMark:
      return std::string(bytes.substr(kUtf8Mark.size()));
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be: {
      const std::string_view body = bytes.substr(2);
      std::u16string units(body.size() / 2, u'\0');
      for (std::size_t i = 0; i < units.size(); ++i) units[i] = UnitAt(body, 2 * i, LittleEndian(encoding));
      return Utf8FromUtf16(units);
    }
  }
  return std::string(bytes);
}

std::string TakeFileText(std::string&& bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::kAnsi || encoding == TextEncoding::kUtf8) return std::move(bytes);
  if (encoding == TextEncoding::kUtf8WithMark) return std::move(bytes.erase(0, kUtf8Mark.size()));
  return DecodeFileText(bytes, encoding);
}

std::string GiveFileText(std::string&& text, TextEncoding encoding) {
  if (encoding == TextEncoding::kAnsi || encoding == TextEncoding::kUtf8) return std::move(text);
  return EncodeFileText(text, encoding);
}

std::string EncodeFileText(std::string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kAnsi:
    case TextEncoding::kUtf8:
      return std::string(text);
    case TextEncoding::kUtf8WithMark:
      return std::string(kUtf8Mark) + std::string(text);
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be: {
      const bool little = LittleEndian(encoding);
      std::string out(little ? kUtf16LeMark : kUtf16BeMark);
      out.reserve(2 + 2 * text.size());
      ForEachUtf16Unit(text, [&](char16_t unit) { AppendUnit(out, unit, little); });
      return out;
    }
  }
  return std::string(text);
}

bool IsTextIn(std::string_view bytes, TextEncoding encoding) {
  if (encoding != TextEncoding::kUtf16Le && encoding != TextEncoding::kUtf16Be) {
    // Not string_view::find: some C libraries look for a byte one at a time.
    return FindBytes(bytes, std::string_view("\0", 1)) == npos;
  }
  if (bytes.size() % 2 != 0) return false;
  for (std::size_t at = 2; at < bytes.size(); at += 2) {
    if (bytes[at] == '\0' && bytes[at + 1] == '\0') return false;
  }
  return true;
}

}  // namespace varnex
