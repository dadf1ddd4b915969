#include "engine/replace.h"

#include <algorithm>
#include <cstring>

#include "engine/bytescan.h"

namespace varnex {
namespace {

// Searches one text for one find text, exactly or with ASCII capitals folded
// on both sides as the text is read: nothing of the text is copied.
class Searcher {
 public:
  Searcher(std::string_view text, std::string_view findText) : text_(text), findText_(findText) {}

  std::size_t Find(std::size_t from, bool caseSensitive) {
    if (caseSensitive) return FindBytes(text_, findText_, from);
    if (foldedFind_.size() != findText_.size()) {
      foldedFind_.resize(findText_.size());
      FoldAsciiCase(findText_.data(), findText_.size(), foldedFind_.data());
    }
    return FindFoldedBytes(text_, foldedFind_, from);
  }

 private:
  std::string_view text_;
  std::string_view findText_;
  std::string foldedFind_;
};

// The text with every occurrence replaced, built in `result`; false, with
// `result` untouched, when there is nothing to replace.
bool ReplaceInto(std::string_view text, std::string_view findText, std::string_view replaceText, bool logSwitch,
                 ReplaceContext& context, std::string& result) {
  // Equal texts change nothing, whatever the case option says.
  if (text.empty() || findText == replaceText) return false;

  Searcher searcher(text, findText);
  std::size_t found = searcher.Find(0, context.CaseSensitive());
  if (found == npos) return false;

  // A result that cannot grow fits in the text's size; a growing one grows
  // geometrically, so each byte is moved a bounded number of times.
  result.reserve(replaceText.size() <= findText.size() ? text.size() : text.size() + text.size() / 4);
  std::size_t rest = 0;
  while (found != npos) {
    result.append(text, rest, found - rest);
    result.append(replaceText);
    rest = found + findText.size();
    found = searcher.Find(rest, context.CaseSensitive());
    context.ProcessPendingEvents();
  }
  result.append(text, rest);

  if (logSwitch && result != text) context.TextChanged(findText, replaceText);
  return true;
}

// The same in the text itself, for a replace text no longer than the find
// text: every byte written lands on a part already searched, so no second
// buffer the size of the text is taken (for a file of hundreds of megabytes,
// half the memory and the time spent on fresh pages).
bool ReplaceInPlace(std::string& text, std::string_view findText, std::string_view replaceText, bool logSwitch,
                    ReplaceContext& context) {
  if (text.empty() || findText == replaceText) return false;

  Searcher searcher(text, findText);
  std::size_t found = searcher.Find(0, context.CaseSensitive());
  if (found == npos) return false;

  char* const bytes = text.data();
  // Of the same length, an occurrence found with its case folded may already
  // read as the replace text.
  bool changed = replaceText.size() != findText.size();
  std::size_t written = 0;
  std::size_t rest = 0;
  while (found != npos) {
    if (written != rest) std::memmove(bytes + written, bytes + rest, found - rest);
    written += found - rest;
    if (!changed) changed = std::memcmp(bytes + written, replaceText.data(), replaceText.size()) != 0;
    std::memcpy(bytes + written, replaceText.data(), replaceText.size());
    written += replaceText.size();
    rest = found + findText.size();
    found = searcher.Find(rest, context.CaseSensitive());
    context.ProcessPendingEvents();
  }
  if (written != rest) std::memmove(bytes + written, bytes + rest, text.size() - rest);
  text.resize(written + (text.size() - rest));

  if (logSwitch && changed) context.TextChanged(findText, replaceText);
  return true;
}

}  // namespace

Occurrences FindOccurrences(std::string_view text, std::string_view findText, std::string_view replaceText,
                            ReplaceContext& context, const std::function<void(std::size_t)>& found) {
  Occurrences occurrences;
  if (text.empty() || findText == replaceText) return occurrences;
  Searcher searcher(text, findText);
  for (std::size_t at = searcher.Find(0, context.CaseSensitive()); at != npos;
       at = searcher.Find(at + findText.size(), context.CaseSensitive())) {
    ++occurrences.count;
    if (!occurrences.changesText) occurrences.changesText = text.substr(at, findText.size()) != replaceText;
    found(at);
    context.ProcessPendingEvents();
  }
  return occurrences;
}

std::string ReplaceOccurrences(std::string_view text, std::string_view findText, std::string_view replaceText,
                               bool logSwitch, ReplaceContext& context, std::string recycled) {
  std::string result = std::move(recycled);
  result.clear();
  if (!ReplaceInto(text, findText, replaceText, logSwitch, context, result)) result.assign(text);
  return result;
}

bool ReplaceOccurrencesInto(std::string_view text, std::string_view findText, std::string_view replaceText,
                            bool logSwitch, ReplaceContext& context, std::string& result) {
  std::string replaced;
  if (!ReplaceInto(text, findText, replaceText, logSwitch, context, replaced)) return false;
  result = std::move(replaced);
  return true;
}

std::string ReplaceOccurrencesOwned(std::string&& text, std::string_view findText, std::string_view replaceText,
                               bool logSwitch, ReplaceContext& context) {
  std::string source = std::move(text);
  if (replaceText.size() <= findText.size()) {
    ReplaceInPlace(source, findText, replaceText, logSwitch, context);
    return source;
  }
  std::string result;
  if (!ReplaceInto(source, findText, replaceText, logSwitch, context, result)) return source;
  return result;
}

}  // namespace varnex
