#include "engine/typeahead.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(TypeAhead, BuildsPrefixesFromQuickKeys) {
  struct Key {
    char16_t key;
    std::uint64_t at;
    std::optional<std::string> prefix;
  };
  const Key keys[] = {
      {u'c', 1000, "c"},
      {u':', 1100, "c:"},
      {u'\\', 1599, "c:\\"},   // 499 ms after the last key: still the same prefix
      {u'd', 2099, "d"},       // 500 ms: a fresh start
      {u'\b', 2200, ""},       // back to nothing: the first entry
      {u'\b', 2300, ""},
      {u'x', 2400, "x"},
      {u'\r', 2450, std::nullopt},  // Enter types nothing
      {u'y', 2500, "xy"},
      {u'\b', 3100, ""},       // after a pause the prefix is gone before the Backspace
  };
  TypeAhead typeAhead;
  for (const Key& k : keys) EXPECT_EQ(typeAhead.Type(k.key, k.at), k.prefix) << "at " << k.at;
}

// Control characters type nothing and leave the prefix as it was; the space and
// every character above it type themselves. Each key comes 100 ms after "a"
// was typed.
TEST(TypeAhead, KeyClasses) {
  for (char16_t code = 0; code < 0x7F; ++code) {
    if (code == u'\b') continue;  // Backspace has its own test
    TypeAhead typeAhead;
    ASSERT_EQ(typeAhead.Type(u'a', 1000), "a");
    const std::optional<std::string> typed = typeAhead.Type(code, 1100);
    if (code < u' ') {
      EXPECT_EQ(typed, std::nullopt) << int{code};
      EXPECT_EQ(typeAhead.Type(u'b', 1200), "ab") << "after " << int{code};
    } else {
      EXPECT_EQ(typed, std::string("a") + static_cast<char>(code)) << int{code};
    }
  }
  TypeAhead spaced;
  std::optional<std::string> prefix;
  for (const char key : std::string("my file")) prefix = spaced.Type(static_cast<char16_t>(key), 1000);
  EXPECT_EQ(prefix, "my file");
}

// Letters of any script type themselves, in UTF-8; a character beyond the
// Basic Multilingual Plane comes as two keys and is typed at the second, and
// Backspace takes a whole character away.
TEST(TypeAhead, TypesEveryScript) {
  struct Key {
    char16_t key;
    std::optional<std::string> prefix;
  };
  const Key keys[] = {
      {u'\u00E9', "\u00E9"},                        // an accented letter of the code page
      {u'\u041E', "\u00E9\u041E"},                 // Cyrillic
      {u'\u65E5', "\u00E9\u041E\u65E5"},          // CJK
      {0xD83D, std::nullopt},                        // an emoji's first half types nothing yet
      {0xDE00, "\u00E9\u041E\u65E5\U0001F600"},   // its second half types it
      {u'\b', "\u00E9\u041E\u65E5"},              // Backspace takes the whole emoji
      {u'\b', "\u00E9\u041E"},
      {0xD83D, std::nullopt},
      {u'x', "\u00E9\u041Ex"},                     // a first half without its second is dropped
  };
  TypeAhead typeAhead;
  std::uint64_t at = 1000;
  for (const Key& k : keys) EXPECT_EQ(typeAhead.Type(k.key, at += 10), k.prefix) << "key " << int{k.key};
}

}  // namespace
}  // namespace varnex
