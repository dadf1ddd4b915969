#pragma once
// The one text-replacement routine: every occurrence of a find text is replaced,
// scanning left to right, with the case option read afresh before every search.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace varnex {

// What the routine asks of its caller while it works.
class ReplaceContext {
 public:
  // Read before every search, so a change made while events are processed
  // applies from the next search on.
  virtual bool CaseSensitive() = 0;
  // Called after every single replacement.
  virtual void ProcessPendingEvents() = 0;
  // Called once, at the end of a call with the log switch on, when the result
  // differs from the text passed in.
  virtual void TextChanged(std::string_view findText, std::string_view replaceText) = 0;

 protected:
  ~ReplaceContext() = default;
};

// `recycled` lends its memory to the result, so a caller that replaces over and
// over can keep one buffer warm; it must not hold the text itself.
std::string ReplaceOccurrences(std::string_view text, std::string_view findText, std::string_view replaceText,
                               bool logSwitch, ReplaceContext& context, std::string recycled = {});
// The same for a whole file's text, which stays in the caller's hands: true
// with the new text in `result`; false, `result` untouched and nothing copied,
// when nothing was replaced.
bool ReplaceOccurrencesInto(std::string_view text, std::string_view findText, std::string_view replaceText,
                            bool logSwitch, ReplaceContext& context, std::string& result);
// The same for a text the caller gives up: when nothing is replaced, or the
// replace text is no longer than the find text, the text itself comes back
// (replaced where it lies), not a copy of it; a growing replacement lets it go
// as soon as the result is complete. A whole file passes through here.
std::string ReplaceOccurrencesOwned(std::string&& text, std::string_view findText, std::string_view replaceText,
                               bool logSwitch, ReplaceContext& context);

// Where the routines above would replace, left to right, without building a
// result: `found` is given each occurrence's offset in `text`. Tells how many
// there are and whether replacing them would change the text (an occurrence
// found with its case folded may already read as the replace text).
struct Occurrences {
  std::size_t count = 0;
  bool changesText = false;
};
Occurrences FindOccurrences(std::string_view text, std::string_view findText, std::string_view replaceText,
                            ReplaceContext& context, const std::function<void(std::size_t)>& found);

}  // namespace varnex
