#include "engine/regexmatcher.h"

// No search is cut short by Boost's own count of states, which grows with the
// text searched: SearchBudget decides when a search has run away.
#define BOOST_REGEX_MAX_STATE_COUNT (std::numeric_limits<std::ptrdiff_t>::max() / 4)
#include <limits>

#include "engine/patterntraits.h"
#include "engine/replacetemplate.h"

namespace varnex {
namespace {

constexpr std::string_view kInvalidPattern = "The find text is not a valid regular expression: %s";
constexpr std::string_view kNotValidForFile = "Cannot search file %s: ";
constexpr std::string_view kLineEnd = "(?:\r\n|\r|\n)";

using ByteRegex = boost::basic_regex<char, PatternTraits<char>>;
using CodePointRegex = boost::basic_regex<char32_t, PatternTraits<char32_t>>;

std::u32string CodePoints(std::string_view text) {
  std::u32string points;
  const auto* at = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = at + text.size();
  while (at < end) {
    const CodePoint point = DecodeUtf8(at, end);
    points += point.value;
    at += point.length;
  }
  return points;
}

// Boost's reason without its quotation of the pattern, and where it was
// found, counted in characters from 1.
Error InvalidPattern(const boost::regex_error& error) {
  std::string reason = error.what();
  reason = reason.substr(0, reason.find("  The error occurred"));
  if (!reason.empty() && reason.back() == '.') reason.pop_back();
  if (error.code() == boost::regex_constants::error_paren && reason.starts_with("Unmatched marking")) {
    reason = "Missing ')'";
  }
  reason += " at position " + std::to_string(error.position() + 1);
  return Error::Format(kInvalidPattern, reason);
}

// The pattern as compiled: every line break typed in it any line end.
template <class Char>
std::basic_string<Char> PatternSource(std::basic_string_view<Char> find) {
  std::basic_string<Char> source;
  for (std::size_t at = 0; at < find.size(); ++at) {
    if (find[at] != '\r' && find[at] != '\n') {
      source += find[at];
      continue;
    }
    if (find[at] == '\r' && at + 1 < find.size() && find[at + 1] == '\n') ++at;
    source.append(kLineEnd.begin(), kLineEnd.end());
  }
  return source;
}

template <class Regex>
Regex Compile(std::basic_string_view<typename Regex::value_type> find, bool caseSensitive) {
  const auto source = PatternSource(find);
  const boost::regex_constants::syntax_option_type flags =
      caseSensitive ? boost::regex_constants::perl : boost::regex_constants::perl | boost::regex_constants::icase;
  try {
    return Regex(source.data(), source.data() + source.size(), flags);
  } catch (const boost::regex_error& error) {
    throw InvalidPattern(error);
  }
}

template <class Regex>
ReplaceTemplate TemplateFor(const Regex& regex, std::string_view replace, bool unicode) {
  return ReplaceTemplate(replace, static_cast<int>(regex.mark_count()), [&](std::string_view name) {
    using Char = typename Regex::value_type;
    const std::u32string points = unicode ? CodePoints(name) : std::u32string(name.begin(), name.end());
    const std::basic_string<Char> chars(points.begin(), points.end());
    return regex.get_named_subs()->get_id(chars.data(), chars.data() + chars.size());
  });
}

// One file's pattern and replacement, compiled once and kept while the texts,
// the file's kind and the case option stay the same.
struct Compiled {
  std::string find;
  std::string replace;
  bool unicode = false;
  bool caseSensitive = false;
  ByteRegex bytes;
  CodePointRegex points;
  ReplaceTemplate replacement{"", 0, {}};
};

class RegexMatcher final : public Matcher {
 public:
  bool ReplaceInto(std::string_view text, const MatchTexts& texts, ReplaceContext& context,
                   std::string& result) override {
    std::string replaced;
    std::size_t copied = 0;
    bool changed = false;
    Walk(text, texts, context, [&](MatchSpan span, const auto& group) {
      if (replaced.empty()) replaced.reserve(text.size() + text.size() / 8);
      replaced.append(text, copied, span.offset - copied);
      const std::size_t start = replaced.size();
      compiled_.replacement.AppendTo(replaced, group);
      changed = changed || std::string_view(replaced).substr(start) != text.substr(span.offset, span.length);
      copied = span.offset + span.length;
    });
    if (!changed) return false;
    replaced.append(text, copied);
    result = std::move(replaced);
    context.TextChanged(texts.find, texts.replace);
    return true;
  }

  // A search may look behind where it stands, so nothing is replaced where
  // the text lies: the result is built beside it and the text let go after.
  bool ReplaceOwned(std::string&& text, const MatchTexts& texts, ReplaceContext& context,
                    std::string& result) override {
    const std::string source = std::move(text);
    return ReplaceInto(source, texts, context, result);
  }

  std::string Quote(std::string_view value, MatchText into) const override {
    return into == MatchText::kFind ? QuotePatternText(value) : QuoteReplaceText(value);
  }

  Occurrences Find(std::string_view text, const MatchTexts& texts, ReplaceContext& context,
                   const std::function<void(MatchSpan)>& found) override {
    Occurrences occurrences;
    std::string replacement;
    Walk(text, texts, context, [&](MatchSpan span, const auto& group) {
      ++occurrences.count;
      replacement.clear();
      compiled_.replacement.AppendTo(replacement, group);
      occurrences.changesText = occurrences.changesText || replacement != text.substr(span.offset, span.length);
      span.replacement = replacement;
      found(span);
    });
    return occurrences;
  }

 private:
  void Prepare(const MatchTexts& texts, bool caseSensitive) {
    if (compiled_.find == texts.find && compiled_.replace == texts.replace && compiled_.unicode == texts.unicode &&
        compiled_.caseSensitive == caseSensitive && !compiled_.find.empty()) {
      return;
    }
    compiled_.find.clear();  // until compiled whole
    // Checked as typed before the run, the texts may still fail for one file:
    // with its dynamic variables, or in its code page.
    try {
      if (texts.unicode) {
        const std::u32string find = CodePoints(texts.find);
        compiled_.points = Compile<CodePointRegex>(find, caseSensitive);
        compiled_.replacement = TemplateFor(compiled_.points, texts.replace, true);
      } else {
        compiled_.bytes = Compile<ByteRegex>(texts.find, caseSensitive);
        compiled_.replacement = TemplateFor(compiled_.bytes, texts.replace, false);
      }
    } catch (const Error& error) {
      throw SearchRefused(std::string(kNotValidForFile) + error.what());
    }
    compiled_.find = texts.find;
    compiled_.replace = texts.replace;
    compiled_.unicode = texts.unicode;
    compiled_.caseSensitive = caseSensitive;
  }

  // Every match, left to right, given to `onMatch` with its span and a way to
  // read its groups. After an empty match the next may not be empty where it
  // stands, so each place is matched once and the walk always moves on.
  template <class OnMatch>
  void Walk(std::string_view text, const MatchTexts& texts, ReplaceContext& context, OnMatch&& onMatch) {
    if (text.empty() || texts.find.empty()) return;
    Prepare(texts, context.CaseSensitive());
    SearchBudget budget([&context] { context.ProcessPendingEvents(); });
    budget.Start(text.data());
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    try {
      if (texts.unicode) {
        const auto at = [&](const char* p) { return Utf8Cursor(p, begin, end, &budget); };
        Search(compiled_.points, at(begin), at(end), context, onMatch);
      } else {
        const auto at = [&](const char* p) { return ByteCursor(p, &budget); };
        Search(compiled_.bytes, at(begin), at(end), context, onMatch);
      }
    } catch (const boost::regex_error&) {
      // Boost's own limits: its stack of states for one search is full.
      throw RunawaySearch(std::string(kRunawaySearch));
    }
  }

  // The next match from `from`. Where the pattern cannot match the empty
  // text, a match starts only at a character its start map allows: those are
  // looked for over the bytes themselves and the pattern tried where one
  // stands, which spares the walk between them every step's count (Boost's
  // own walk there goes through the cursor).
  template <class Regex, class Cursor>
  static bool NextMatch(const Regex& regex, Cursor from, Cursor end, Cursor begin, boost::match_results<Cursor>& match,
                        boost::regex_constants::match_flag_type flags) {
    if (regex.can_be_null()) return boost::regex_search(from, end, match, regex, flags, begin);
    const unsigned char* const map = regex.get_map();
    const auto mask = static_cast<unsigned char>(boost::BOOST_REGEX_DETAIL_NS::mask_any);
    const char* const last = end.Position();
    for (const char* at = from.Position();;) {
      while (at != last && !Cursor::MayStart(map, mask, *at)) ++at;
      if (at == last) return false;
      from = from.At(at);
      if (boost::regex_search(from, end, match, regex, flags | boost::regex_constants::match_continuous, begin)) {
        return true;
      }
      at = (++from).Position();
    }
  }

  template <class Regex, class Cursor, class OnMatch>
  void Search(const Regex& regex, Cursor begin, Cursor end, ReplaceContext& context, OnMatch& onMatch) {
    const char* const base = begin.Position();
    const auto plain = boost::regex_constants::match_default | boost::regex_constants::match_not_dot_newline;
    auto flags = plain;
    boost::match_results<Cursor> match;
    for (Cursor from = begin; NextMatch(regex, from, end, begin, match, flags);) {
      const auto group = [&match](int i) {
        if (i > static_cast<int>(match.size()) - 1 || !match[i].matched) return std::string_view();
        return std::string_view(match[i].first.Position(), match[i].second.Position() - match[i].first.Position());
      };
      const char* const first = match[0].first.Position();
      const char* const last = match[0].second.Position();
      onMatch(MatchSpan{static_cast<std::size_t>(first - base), static_cast<std::size_t>(last - first), {}}, group);
      context.ProcessPendingEvents();
      from = match[0].second;
      flags = first == last ? plain | boost::regex_constants::match_not_initial_null : plain;
    }
  }

  Compiled compiled_;
};

}  // namespace

void CheckRegularExpression(std::string_view findText, std::string_view replaceText) {
  const std::u32string find = CodePoints(findText);
  try {
    const CodePointRegex regex(find.data(), find.data() + find.size(), boost::regex_constants::perl);
    TemplateFor(regex, replaceText, true);
  } catch (const boost::regex_error& error) {
    throw InvalidPattern(error);
  }
}

std::unique_ptr<Matcher> MakeRegexMatcher() { return std::make_unique<RegexMatcher>(); }

void SearchBudget::Check(const char* at) {
  countdown_ = kStepsPerCheck;
  if (at > furthest_) {
    credit_ = std::min(kCeiling, credit_ + kStepsPerByte * (at - furthest_));
    furthest_ = at;
  }
  credit_ -= kStepsPerCheck;
  if (credit_ < 0) throw RunawaySearch(std::string(kRunawaySearch));
  pause_();
}

}  // namespace varnex
