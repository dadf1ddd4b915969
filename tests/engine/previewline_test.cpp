#include "engine/previewline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

std::vector<ShownOccurrence> OccurrencesOf(const std::string& text, const std::string& find) {
  std::vector<ShownOccurrence> occurrences;
  for (std::size_t at = text.find(find); at != std::string::npos; at = text.find(find, at + find.size())) {
    occurrences.push_back({at, find.size(), "dog"});
  }
  return occurrences;
}

TEST(FirstOccurrenceLine, ShowsTheLineOfTheFirstOccurrenceBeforeAndAfterCutAroundIt) {
  const struct {
    const char* name;
    std::string text;
    std::string find;
    std::size_t room;
    std::size_t number;
    std::string before;
    std::string after;
    bool cutBefore;
    bool cutAfter;
  } cases[] = {
      {"first line", "one cat\r\ntwo cat\r\n", "cat", 20, 1, "one cat", "one dog", false, false},
      {"later line, every occurrence in it", "one\r\ncat and cat\r\ncat", "cat", 20, 2, "cat and cat",
       "dog and dog", false, false},
      {"last line without a line end", "one\r\ntwo\r\nthe cat", "cat", 20, 3, "the cat", "the dog", false, false},
      {"over two lines", "a\r\nend of\r\nline two\r\nz", "of\r\nline", 20, 2, "end of\r\nline two",
       "end dog two", false, false},
      {"ending the text's only line", "cat", "cat", 0, 1, "cat", "dog", false, false},
      {"cut on both sides", "0123456789cat0123456789", "cat", 4, 1, "6789cat0123", "6789dog0123", true, true},
      {"an occurrence the cut ends in stays as it is", "cat..ca" "t", "cat", 4, 1, "cat..ca", "dog..ca", false,
       true},
      {"UTF-8 cut between characters", "\xC3\xA9\xC3\xA9" "cat" "\xC3\xA9\xC3\xA9", "cat", 3, 1,
       "\xC3\xA9" "cat" "\xC3\xA9", "\xC3\xA9" "dog" "\xC3\xA9", true, true},
  };
  for (const auto& c : cases) {
    const PreviewLine line = FirstOccurrenceLine(c.text, OccurrencesOf(c.text, c.find), c.room, true);
    EXPECT_EQ(line.number, c.number) << c.name;
    EXPECT_EQ(line.before, c.before) << c.name;
    EXPECT_EQ(line.after, c.after) << c.name;
    EXPECT_EQ(line.cutBefore, c.cutBefore) << c.name;
    EXPECT_EQ(line.cutAfter, c.cutAfter) << c.name;
  }
}

}  // namespace
}  // namespace varnex
