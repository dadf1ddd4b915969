#pragma once
// How a run finds the find text in a file's text and builds the replaced
// text. The literal search is one way of matching; every caller (the run, its
// preview, the occurrences a preview counts) goes through this interface, so
// another way of matching is one more implementation, not another code path.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/replace.h"

namespace varnex {

// The texts one file is searched with, in that file's 8-bit form: the bytes of
// its ANSI code page, or UTF-8 for UTF-8 and UTF-16 files.
struct MatchTexts {
  std::string_view find;
  std::string_view replace;
  bool unicode = false;  // the text and both texts are UTF-8
};

// One occurrence: where it starts in the text, how many bytes it takes, and
// what replaces it (valid while the occurrence is handed over).
struct MatchSpan {
  std::size_t offset = 0;
  std::size_t length = 0;
  std::string_view replacement;
};

class Matcher {
 public:
  virtual ~Matcher() = default;

  // Every occurrence replaced, left to right: true with the new text in
  // `result`; false with `result` untouched when nothing would change.
  virtual bool ReplaceInto(std::string_view text, const MatchTexts& texts, ReplaceContext& context,
                           std::string& result) = 0;
  // The same for a text the caller gives up; it may come back in `result`
  // replaced where it lies.
  virtual bool ReplaceOwned(std::string&& text, const MatchTexts& texts, ReplaceContext& context,
                            std::string& result) = 0;
  // Where the two above would replace, nothing replaced: each occurrence
  // given to `found` in order.
  virtual Occurrences Find(std::string_view text, const MatchTexts& texts, ReplaceContext& context,
                           const std::function<void(MatchSpan)>& found) = 0;
};

// Today's way: the find text as it stands, its ASCII capitals folded unless
// the case option says otherwise.
std::unique_ptr<Matcher> MakeLiteralMatcher();

}  // namespace varnex
