#pragma once
// The character rules regular expressions are compiled with, one set for the
// bytes of an ANSI code page and one for Unicode code points. Boost's own
// traits take them from the C++ locale or, on Windows, from the user's
// locale; these are the same on every machine and match the literal search:
// an ANSI file folds only the 26 ASCII capitals, a Unicode one every letter
// that has a case (simple case folding, from the Unicode tables that come
// with Boost's headers, so no ICU is needed).

#include <boost/regex.hpp>
#include <boost/spirit/home/support/char_encoding/unicode/query.hpp>

#include <cstdint>
#include <string>

namespace varnex {

namespace pattern_class {
inline constexpr std::uint32_t kAlpha = 1u << 0;
inline constexpr std::uint32_t kDigit = 1u << 1;
inline constexpr std::uint32_t kBlank = 1u << 2;
inline constexpr std::uint32_t kControl = 1u << 3;
inline constexpr std::uint32_t kGraph = 1u << 4;
inline constexpr std::uint32_t kLower = 1u << 5;
inline constexpr std::uint32_t kPrint = 1u << 6;
inline constexpr std::uint32_t kPunct = 1u << 7;
inline constexpr std::uint32_t kSpace = 1u << 8;
inline constexpr std::uint32_t kUpper = 1u << 9;
inline constexpr std::uint32_t kUnderscore = 1u << 10;
inline constexpr std::uint32_t kXDigit = 1u << 11;
inline constexpr std::uint32_t kBeyondAscii = 1u << 12;
inline constexpr std::uint32_t kHorizontal = 1u << 13;
inline constexpr std::uint32_t kVertical = 1u << 14;
inline constexpr std::uint32_t kWord = kAlpha | kDigit | kUnderscore;
}  // namespace pattern_class

// What one kind of character is: ASCII rules for bytes, Unicode rules for
// code points.
template <class Char>
struct CharacterRules;

template <>
struct CharacterRules<char> {
  static char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }
  static char Lower(char c) { return Fold(c); }
  static char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }
  static std::uint32_t Classes(char c);
};

template <>
struct CharacterRules<char32_t> {
  static char32_t Fold(char32_t c);
  static char32_t Lower(char32_t c);
  static char32_t Upper(char32_t c);
  static std::uint32_t Classes(char32_t c);
};

template <class Char>
class PatternTraits {
 public:
  using char_type = Char;
  using size_type = std::size_t;
  using string_type = std::basic_string<Char>;
  using locale_type = int;  // no locale: the rules are fixed
  using char_class_type = std::uint32_t;
  struct boost_extensions_tag {};

  static size_type length(const char_type* p) { return string_type(p).size(); }
  boost::regex_constants::syntax_type syntax_type(char_type c) const {
    return IsAscii(c) ? boost::BOOST_REGEX_DETAIL_NS::get_default_syntax_type(static_cast<char>(c))
                      : boost::regex_constants::syntax_char;
  }
  boost::regex_constants::escape_syntax_type escape_syntax_type(char_type c) const {
    return IsAscii(c) ? boost::BOOST_REGEX_DETAIL_NS::get_default_escape_syntax_type(static_cast<char>(c))
                      : boost::regex_constants::escape_type_identity;
  }
  char_type translate(char_type c) const { return c; }
  char_type translate_nocase(char_type c) const { return CharacterRules<Char>::Fold(c); }
  char_type translate(char_type c, bool icase) const { return icase ? translate_nocase(c) : c; }
  char_type tolower(char_type c) const { return CharacterRules<Char>::Lower(c); }
  char_type toupper(char_type c) const { return CharacterRules<Char>::Upper(c); }
  // Ranges and equivalence classes compare code values; [[=a=]] is a's case class.
  string_type transform(const char_type* p1, const char_type* p2) const { return string_type(p1, p2); }
  string_type transform_primary(const char_type* p1, const char_type* p2) const {
    string_type folded(p1, p2);
    for (char_type& c : folded) c = translate_nocase(c);
    return folded;
  }
  char_class_type lookup_classname(const char_type* p1, const char_type* p2) const;
  string_type lookup_collatename(const char_type* p1, const char_type* p2) const;
  bool isctype(char_type c, char_class_type mask) const { return (CharacterRules<Char>::Classes(c) & mask) != 0; }
  std::intmax_t toi(const char_type*& p1, const char_type* p2, int radix) const {
    return boost::BOOST_REGEX_DETAIL_NS::global_toi(p1, p2, radix, *this);
  }
  int value(char_type c, int radix) const {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = static_cast<int>(c - '0');
    else if (c >= 'a' && c <= 'z') digit = static_cast<int>(c - 'a') + 10;
    else if (c >= 'A' && c <= 'Z') digit = static_cast<int>(c - 'A') + 10;
    return digit < radix ? digit : -1;
  }
  locale_type imbue(locale_type) { return 0; }
  locale_type getloc() const { return 0; }
  std::string error_string(boost::regex_constants::error_type e) const {
    return boost::BOOST_REGEX_DETAIL_NS::get_default_error_string(e);
  }

 private:
  static bool IsAscii(char_type c) { return static_cast<std::uint32_t>(c) < 0x80 && c != 0; }
};

template <class Char>
typename PatternTraits<Char>::char_class_type PatternTraits<Char>::lookup_classname(const char_type* p1,
                                                                                    const char_type* p2) const {
  using namespace pattern_class;
  // In the order of Boost's class names (alnum, alpha, blank, cntrl, d, digit,
  // graph, h, l, lower, print, punct, s, space, u, unicode, upper, v, w, word,
  // xdigit), after 0 for a name it does not know.
  static constexpr char_class_type kMasks[] = {
      0,      kAlpha | kDigit, kAlpha, kBlank,      kControl, kDigit,      kDigit, kGraph,
      kHorizontal, kLower,     kLower, kPrint,      kPunct,   kSpace,      kSpace, kUpper,
      kBeyondAscii, kUpper,    kVertical, kWord,   kWord,    kXDigit,
  };
  const int id = boost::BOOST_REGEX_DETAIL_NS::get_default_class_id(p1, p2);
  return kMasks[id + 1];
}

template <class Char>
typename PatternTraits<Char>::string_type PatternTraits<Char>::lookup_collatename(const char_type* p1,
                                                                                  const char_type* p2) const {
  std::string name;
  for (const char_type* p = p1; p != p2; ++p) {
    if (!IsAscii(*p)) return p2 - p1 == 1 ? string_type(p1, p2) : string_type();
    name += static_cast<char>(*p);
  }
  const std::string named = boost::BOOST_REGEX_DETAIL_NS::lookup_default_collate_name(name);
  if (!named.empty()) return string_type(named.begin(), named.end());
  return p2 - p1 == 1 ? string_type(p1, p2) : string_type();
}

}  // namespace varnex
