#pragma once
// The replacement routine as the program runs it: the case option read before
// every search and pending events let through while it works. It tells
// whether a whole file's text changed; the run logs that change where it
// calls it. The file's text goes through the run's matcher; the dynamic
// variables' names are always found as they stand.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/matcher.h"

namespace varnex {

class Replacer {
 public:
  Replacer(std::unique_ptr<Matcher> matcher, std::function<bool()> caseSensitive,
           std::function<void()> processPendingEvents);

  // Every occurrence of the find text replaced as it stands, left to right.
  std::string ReplaceStr(std::string_view text, std::string_view findText, std::string_view replaceText);
  // A whole file's text, which stays as it is, through the matcher: true with
  // the new text in `result` when the text changed, false (and no copy made)
  // when not.
  bool ReplaceStrInto(std::string_view text, const MatchTexts& texts, std::string& result);
  // The same for a text the caller gives up, which comes back in `result`,
  // replaced where it lies, unless the replacement makes it grow.
  bool ReplaceStrOwned(std::string&& text, const MatchTexts& texts, std::string& result);
  // The same for a file's text with its own line ends, which it keeps (see
  // engine/lineends.h).
  bool ReplaceStrKeepingLineEnds(std::string_view text, const MatchTexts& texts, std::string& result);
  // Where ReplaceStrInto would replace, nothing replaced: each occurrence is
  // given to `found`.
  Occurrences FindStr(std::string_view text, const MatchTexts& texts, const std::function<void(MatchSpan)>& found);
  // The dynamic variables of `text` expanded for the file at `path`, each
  // through ReplaceStr.
  std::string ExpandVariables(std::string_view text, std::string_view path);

 private:
  class Context;

  std::unique_ptr<Matcher> matcher_;
  std::function<bool()> caseSensitive_;
  std::function<void()> processPendingEvents_;
};

}  // namespace varnex
