#include "engine/lineends.h"

#include <algorithm>

#include "engine/textlines.h"

namespace varnex {
namespace {

constexpr std::string_view kLineBreaks = "\r\n";

// `piece` with each of its line breaks (CR LF, a lone CR or a lone LF) as
// `lineEnd`.
void AppendWithLineEnd(std::string& out, std::string_view piece, std::string_view lineEnd) {
  std::size_t from = 0;
  for (std::size_t at = piece.find_first_of(kLineBreaks); at != std::string_view::npos;
       at = piece.find_first_of(kLineBreaks, from)) {
    out.append(piece, from, at - from);
    out.append(lineEnd);
    from = at + (piece.compare(at, 2, "\r\n") == 0 ? 2 : 1);
  }
  out.append(piece, from);
}

}  // namespace

std::vector<std::string_view> LineEndsOf(std::string_view text) {
  const std::string_view kept = TextBeforeNul(text);
  std::vector<std::string_view> ends;
  std::size_t start = 0;
  for (std::size_t at = kept.find_first_of(kLineBreaks); at != std::string_view::npos;
       at = kept.find_first_of(kLineBreaks, start)) {
    start = at + (kept.compare(at, 2, "\r\n") == 0 ? 2 : 1);
    ends.push_back(kept.substr(at, start - at));
  }
  if (start < kept.size()) ends.emplace_back();
  return ends;
}

bool HoldsLoneLineBreak(std::string_view text) {
  const std::string_view kept = TextBeforeNul(text);
  for (std::size_t at = kept.find_first_of(kLineBreaks); at != std::string_view::npos;
       at = kept.find_first_of(kLineBreaks, at + 2)) {
    if (kept.compare(at, 2, "\r\n") != 0) return true;
  }
  return false;
}

std::string_view PrevailingLineEnd(const std::vector<std::string_view>& ends) {
  const auto count = [&ends](std::string_view end) { return std::count(ends.begin(), ends.end(), end); };
  const auto crlf = count("\r\n"), lf = count("\n"), cr = count("\r");
  if (lf > crlf && lf >= cr) return "\n";
  if (cr > crlf && cr > lf) return "\r";
  return "\r\n";
}

bool ReplaceKeepingLineEnds(std::string_view text, Matcher& matcher, const MatchTexts& texts,
                            ReplaceContext& context, std::string& result) {
  // In the line model's text every CR is the first half of a CR LF: the
  // line end of the line counted by the CRs before it.
  const std::string normal = NormalizeLineEnds(text);
  const std::vector<std::string_view> ends = LineEndsOf(text);
  const std::string_view prevailing = PrevailingLineEnd(ends);
  std::string built;
  built.reserve(text.size());
  std::size_t copied = 0;  // `normal` is in `built` up to here
  std::size_t line = 0;    // the CRs of `normal` before `copied`
  const auto copyUpTo = [&](std::size_t end) {
    for (std::size_t at = normal.find('\r', copied); at != std::string::npos && at < end;
         at = normal.find('\r', copied)) {
      built.append(normal, copied, at - copied);
      // A CR LF split by an occurrence keeps its bytes as they are.
      built.append(at + 1 < end ? ends[line] : std::string_view("\r"));
      ++line;
      copied = std::min(at + 2, end);
    }
    built.append(normal, copied, end - copied);
    copied = end;
  };
  const Occurrences found = matcher.Find(normal, texts, context, [&](MatchSpan span) {
    copyUpTo(span.offset);
    const std::size_t end = span.offset + span.length;
    line += static_cast<std::size_t>(std::count(normal.begin() + static_cast<std::ptrdiff_t>(copied),
                                                normal.begin() + static_cast<std::ptrdiff_t>(end), '\r'));
    copied = end;
    AppendWithLineEnd(built, span.replacement, prevailing);
  });
  if (!found.changesText) return false;
  copyUpTo(normal.size());
  if (built == text) return false;
  result = std::move(built);
  return true;
}

}  // namespace varnex
