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

}  // namespace
}  // namespace varnex
