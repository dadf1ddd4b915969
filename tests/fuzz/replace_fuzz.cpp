// ReplaceOccurrences against the routine written plainly, with the case option
// switched at one round of event processing, as a click on the option would.
//
// Input: an options byte, the lengths of the find and the replace text (one
// byte each), those two texts, then the text. Options: bit 0 case-sensitive,
// bit 1 log switch, bits 2-3 the form of the call (below), bits 4-7 the event
// round that switches the case option (0: none).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/replace.h"
#include "tests/fuzz/check.h"

namespace {

class SwitchingContext : public varnex::ReplaceContext {
 public:
  SwitchingContext(bool caseSensitive, int switchAtRound) : caseSensitive_(caseSensitive), switchAt_(switchAtRound) {}

  bool CaseSensitive() override { return caseSensitive_; }
  void ProcessPendingEvents() override {
    if (++eventRounds == switchAt_) caseSensitive_ = !caseSensitive_;
  }
  void TextChanged(std::string_view findText, std::string_view replaceText) override {
    ++changes;
    loggedFind = findText;
    loggedReplace = replaceText;
  }

  int eventRounds = 0;
  int changes = 0;
  std::string loggedFind;
  std::string loggedReplace;

 private:
  bool caseSensitive_;
  int switchAt_;
};

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

struct Outcome {
  std::string text;
  int replacements = 0;
};

// Left to right, non-overlapping, both texts folded whole. The search after the
// k-th replacement runs before that replacement's event round, so a switch in
// round k first shows in the search after replacement k + 1.
Outcome PlainReplace(std::string_view text, std::string_view find, std::string_view replace, bool caseSensitive,
                     int switchAtRound) {
  if (text.empty()) return {};
  if (find.empty() || find == replace) return {std::string(text)};
  const std::string exactText(text), foldedText = Folded(text);
  const std::string exactFind(find), foldedFind = Folded(find);
  Outcome out;
  std::size_t rest = 0;
  for (;;) {
    const bool switched = switchAtRound != 0 && out.replacements >= switchAtRound + 1;
    const bool sensitive = caseSensitive != switched;
    const std::size_t at = sensitive ? exactText.find(exactFind, rest) : foldedText.find(foldedFind, rest);
    if (at == std::string::npos) break;
    out.text.append(text, rest, at - rest).append(replace);
    rest = at + find.size();
    ++out.replacements;
  }
  out.text.append(text.substr(rest));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const bool caseSensitive = data[0] & 1;
  const bool logSwitch = data[0] & 2;
  enum Form { kFreshBuffer, kLargeLentBuffer, kSmallLentBuffer, kStretchedText };
  const Form form = static_cast<Form>(data[0] >> 2 & 3);
  const int switchAtRound = data[0] >> 4;

  std::size_t at = 3;
  auto take = [&](std::size_t length) {
    length = std::min(length, size - at);
    const std::string_view piece = input.substr(at, length);
    at += length;
    return piece;
  };
  const std::string_view find = take(data[1]);
  const std::string_view replace = take(data[2]);
  std::string text(input.substr(at));
  // The search steps over 64 places at a time, then 16: a repeated text puts
  // matches across the edges of several steps.
  if (form == kStretchedText && !text.empty())
    while (text.size() <= 4 * 64) text += text;

  SwitchingContext context(caseSensitive, switchAtRound);
  std::string lent;
  if (form == kLargeLentBuffer) lent.assign(input.size() * 3, '#');
  if (form == kSmallLentBuffer) lent.assign(input.substr(0, 5));
  const std::string result = varnex::ReplaceOccurrences(text, find, replace, logSwitch, context, std::move(lent));

  const Outcome expected = PlainReplace(text, find, replace, caseSensitive, switchAtRound);
  FUZZ_CHECK(result == expected.text);
  FUZZ_CHECK(context.eventRounds == expected.replacements);
  // Logged once, and only when the text really changed.
  const bool changed = result != text;
  FUZZ_CHECK(context.changes == (logSwitch && changed ? 1 : 0));
  if (context.changes == 1) FUZZ_CHECK(context.loggedFind == find && context.loggedReplace == replace);
  return 0;
}
