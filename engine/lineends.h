#pragma once
// A replacement that keeps a file's own line ends. The text is searched as the
// line model makes it (every line ended by CR LF), so a find text spanning
// lines matches whatever line ends the file has; afterwards every line end
// that no occurrence took is written back byte for byte, and the line breaks
// a replacement brings become the file's prevailing line end.

#include <string>
#include <string_view>
#include <vector>

#include "engine/matcher.h"

namespace varnex {

// Every line end of `text` in order as the line model reads it ("\r\n", "\r"
// or "\n", and "" for a last line without one), up to a NUL.
std::vector<std::string_view> LineEndsOf(std::string_view text);
// Whether a line of `text` ends with a lone CR or LF, which the line model
// writes back as CR LF.
bool HoldsLoneLineBreak(std::string_view text);
// The line end most lines have; CR LF where none does or where it ties.
std::string_view PrevailingLineEnd(const std::vector<std::string_view>& ends);

// True with the new text in `result` when the text changed; false, `result`
// untouched, when not.
bool ReplaceKeepingLineEnds(std::string_view text, Matcher& matcher, const MatchTexts& texts,
                            ReplaceContext& context, std::string& result);

}  // namespace varnex
