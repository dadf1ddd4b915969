#include "engine/patterntraits.h"

namespace varnex {
namespace {

namespace ucd = boost::spirit::ucd;
constexpr char32_t kLastCodePoint = 0x10FFFF;

}  // namespace

std::uint32_t CharacterRules<char>::Classes(char c) {
  using namespace pattern_class;
  const auto u = static_cast<unsigned char>(c);
  if (u >= 0x80) return 0;  // the code page's own letters are not known here
  std::uint32_t classes = 0;
  if ((u | 0x20) >= 'a' && (u | 0x20) <= 'z') classes |= kAlpha | (u >= 'a' ? kLower : kUpper);
  if (u >= '0' && u <= '9') classes |= kDigit | kXDigit;
  if ((u | 0x20) >= 'a' && (u | 0x20) <= 'f') classes |= kXDigit;
  if (u == ' ' || u == '\t') classes |= kBlank | kHorizontal;
  if (u == ' ' || (u >= '\t' && u <= '\r')) classes |= kSpace;
  if (u >= '\n' && u <= '\r') classes |= kVertical;
  if (u < 0x20 || u == 0x7F) classes |= kControl;
  if (u > 0x20 && u < 0x7F) classes |= kGraph | kPrint;
  if (u == ' ') classes |= kPrint;
  if (u > 0x20 && u < 0x7F && !(classes & (kAlpha | kDigit))) classes |= kPunct;
  if (u == '_') classes |= kUnderscore;
  return classes;
}

// Simple case folding: the lower case of the upper case, which brings
// together the forms of one letter (k, K and the Kelvin sign; the three
// sigmas). The dotted and dotless i of Turkish fold to themselves, as
// Unicode's default folding has it.
char32_t CharacterRules<char32_t>::Fold(char32_t c) {
  if (c > kLastCodePoint || c == 0x130 || c == 0x131) return c;
  return Lower(Upper(c));
}

char32_t CharacterRules<char32_t>::Lower(char32_t c) {
  return c > kLastCodePoint ? c : static_cast<char32_t>(ucd::to_lowercase(c));
}

char32_t CharacterRules<char32_t>::Upper(char32_t c) {
  return c > kLastCodePoint ? c : static_cast<char32_t>(ucd::to_uppercase(c));
}

std::uint32_t CharacterRules<char32_t>::Classes(char32_t c) {
  using namespace pattern_class;
  if (c < 0x80) return CharacterRules<char>::Classes(static_cast<char>(c));
  if (c > kLastCodePoint) return kBeyondAscii;
  std::uint32_t classes = kBeyondAscii;
  if (ucd::is_alphabetic(c)) classes |= kAlpha;
  if (ucd::is_decimal_number(c)) classes |= kDigit;
  if (ucd::is_uppercase(c)) classes |= kUpper;
  if (ucd::is_lowercase(c)) classes |= kLower;
  if (ucd::is_punctuation(c)) classes |= kPunct;
  if (ucd::is_control(c)) classes |= kControl;
  if (ucd::is_graph(c)) classes |= kGraph;
  if (ucd::is_print(c)) classes |= kPrint;
  if (ucd::is_white_space(c)) classes |= kSpace;
  if (ucd::is_blank(c)) classes |= kBlank | kHorizontal;
  if (c == 0x85 || c == 0x2028 || c == 0x2029) classes |= kVertical;
  return classes;
}

}  // namespace varnex
