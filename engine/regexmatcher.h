#pragma once
// Regular expressions in Perl's syntax as a way of matching: '^' and '$' at
// every line, '.' no line end unless (?s), a line break typed in the find
// text any line end, the case option as (?i). ANSI files are matched byte by
// byte with ASCII capitals folded, as the literal search folds them; UTF-8
// and UTF-16 files code point by code point with Unicode's case folding. The
// replace text's syntax is ReplaceTemplate's.

#include <memory>
#include <string_view>

#include "engine/matcher.h"
#include "engine/searchcursor.h"

namespace varnex {

// Raised for one file whose search runs away (see SearchBudget).
inline constexpr std::string_view kRunawaySearch =
    "Cannot replace in file %s: the regular expression backtracks without end on this file";

// Refuses a find text (as typed, UTF-8) that is no valid pattern, with the
// reason and the character position where it was found; with the replace
// text, refuses a group name the find text does not have. Throws Error.
void CheckRegularExpression(std::string_view findText, std::string_view replaceText);

// Pending events are processed after every replacement, as the literal
// search does, and every so many steps of a long search; a search that runs
// away throws RunawaySearch, whose message takes the file's path.
std::unique_ptr<Matcher> MakeRegexMatcher();

}  // namespace varnex
