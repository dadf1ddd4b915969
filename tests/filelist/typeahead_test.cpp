#include "filelist/typeahead.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(TypeAhead, BuildsPrefixesFromQuickKeys) {
  struct Key {
    char key;
    std::uint64_t at;
    std::optional<std::string> prefix;
  };
  const Key keys[] = {
      {'c', 1000, "c"},
      {':', 1100, "c:"},
      {'\\', 1599, "c:\\"},   // 499 ms after the last key: still the same prefix
      {'d', 2099, "d"},       // 500 ms: a fresh start
      {'\b', 2200, ""},       // back to nothing: the first entry
      {'\b', 2300, ""},
      {'x', 2400, "x"},
      {'\r', 2450, std::nullopt},  // Enter types nothing
      {'y', 2500, "xy"},
      {'\b', 3100, ""},       // after a pause the prefix is gone before the Backspace
  };
  TypeAhead typeAhead;
  for (const Key& k : keys) EXPECT_EQ(typeAhead.Type(k.key, k.at), k.prefix) << "at " << k.at;
}

// Control characters type nothing and leave the prefix as it was; the space and
// every byte above it, accented letters of the code page included, type
// themselves. Each key comes 100 ms after "a" was typed.
TEST(TypeAhead, KeyClasses) {
  for (int code = 0; code < 256; ++code) {
    const char key = static_cast<char>(code);
    if (key == '\b' || code == 0x7F) continue;  // Backspace has its own test; nobody searches for DEL
    TypeAhead typeAhead;
    ASSERT_EQ(typeAhead.Type('a', 1000), "a");
    const std::optional<std::string> typed = typeAhead.Type(key, 1100);
    if (code < ' ') {
      EXPECT_EQ(typed, std::nullopt) << code;
      EXPECT_EQ(typeAhead.Type('b', 1200), "ab") << "after " << code;
    } else {
      EXPECT_EQ(typed, std::string("a") + key) << code;
    }
  }
  TypeAhead spaced;
  std::optional<std::string> prefix;
  for (const char key : std::string("my file")) prefix = spaced.Type(key, 1000);
  EXPECT_EQ(prefix, "my file");
}

}  // namespace
}  // namespace varnex
