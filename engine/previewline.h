#pragma once
// The line a preview shows for a file: where its first occurrence of the find
// text stands, before and after the replacement, cut down around it.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "engine/matcher.h"

namespace varnex {

// An occurrence as a preview keeps it: the span and what it becomes.
struct ShownOccurrence {
  std::size_t offset = 0;
  std::size_t length = 0;
  std::string replacement;
};

struct PreviewLine {
  std::size_t number = 0;  // of the line the first occurrence starts on, from 1
  std::string before;      // that line, with the lines a find text spans, as the file holds it
  std::string after;       // the same with the occurrences in it replaced
  bool cutBefore = false;  // whether the line goes on to the left of `before`
  bool cutAfter = false;   // and to the right
};

// `text` is a file's text with CR LF line ends, `occurrences` the occurrences
// in order, from the first, as far as they may reach into the line shown. At
// most `room` bytes of the line are kept on either side of the first
// occurrence; a UTF-8 text is cut between characters.
PreviewLine FirstOccurrenceLine(std::string_view text, std::span<const ShownOccurrence> occurrences, std::size_t room,
                                bool utf8);

}  // namespace varnex
