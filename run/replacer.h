#pragma once
// The replacement routine as the program runs it: the case option read before
// every search and pending events let through while it works. It tells
// whether a whole file's text changed; the run logs that change where it
// calls it.

#include <functional>
#include <string>
#include <string_view>

#include "engine/replace.h"

namespace varnex {

class Replacer {
 public:
  Replacer(std::function<bool()> caseSensitive, std::function<void()> processPendingEvents);

  // Every occurrence of the find text replaced, left to right.
  std::string ReplaceStr(std::string_view text, std::string_view findText, std::string_view replaceText);
  // The same for a whole file's text, which stays as it is: true with the new
  // text in `result` when the text changed, false (and no copy made) when not.
  bool ReplaceStrInto(std::string_view text, std::string_view findText, std::string_view replaceText,
                      std::string& result);
  // The same for a text the caller gives up, which comes back in `result`,
  // replaced where it lies, unless the replacement makes it grow.
  bool ReplaceStrOwned(std::string&& text, std::string_view findText, std::string_view replaceText,
                       std::string& result);
  // Where ReplaceStrInto would replace, nothing replaced: each occurrence's
  // offset in the text is given to `found`.
  Occurrences FindStr(std::string_view text, std::string_view findText, std::string_view replaceText,
                      const std::function<void(std::size_t)>& found);
  // The dynamic variables of `text` expanded for the file at `path`, each
  // through ReplaceStr.
  std::string ExpandVariables(std::string_view text, std::string_view path);

 private:
  class Context;

  std::function<bool()> caseSensitive_;
  std::function<void()> processPendingEvents_;
};

}  // namespace varnex
