#include "engine/replacetemplate.h"

#include "engine/error.h"

namespace varnex {
namespace {

constexpr std::string_view kNoSuchGroup = "The replace text names a group the find text does not have: %s";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

ReplaceTemplate::ReplaceTemplate(std::string_view replaceText, int groups,
                                 const std::function<int(std::string_view)>& groupNamed) {
  std::size_t at = 0;
  while (at < replaceText.size()) {
    const char c = replaceText[at];
    const std::string_view rest = replaceText.substr(at + 1);
    if (c == '$' && !rest.empty()) {
      if (rest[0] == '$') {
        AddText("$");
        at += 2;
        continue;
      }
      if (rest[0] == '&') {
        AddGroup(0);
        at += 2;
        continue;
      }
      if (IsDigit(rest[0])) {
        // Two digits where the pattern has that many groups: $10 is group
        // ten in a pattern with ten, group one and a 0 in one with fewer.
        const bool two = rest.size() > 1 && IsDigit(rest[1]) && (rest[0] - '0') * 10 + (rest[1] - '0') <= groups;
        AddGroup(two ? (rest[0] - '0') * 10 + (rest[1] - '0') : rest[0] - '0');
        at += two ? 3 : 2;
        continue;
      }
      const std::size_t close = rest.find('}');
      if (rest[0] == '{' && close != std::string_view::npos && close > 1) {
        const std::string_view name = rest.substr(1, close - 1);
        int group = 0;
        bool number = true;
        for (char d : name) {
          if (!IsDigit(d) || group > 99) number = false;
          group = group * 10 + (d - '0');
        }
        if (!number) group = groupNamed(name);
        if (group < 0) throw Error::Format(kNoSuchGroup, name);
        AddGroup(group);
        at += close + 2;
        continue;
      }
    }
    if (c == '\\' && !rest.empty()) {
      const char e = rest[0];
      if (e >= '1' && e <= '9') {
        AddGroup(e - '0');
        at += 2;
        continue;
      }
      const std::string_view escapes = "nrt\\$";
      const std::string_view meanings = "\n\r\t\\$";
      if (const std::size_t which = escapes.find(e); which != std::string_view::npos) {
        AddText(meanings.substr(which, 1));
        at += 2;
        continue;
      }
    }
    AddText(replaceText.substr(at, 1));
    ++at;
  }
}

void ReplaceTemplate::AddText(std::string_view text) {
  if (pieces_.empty() || pieces_.back().group >= 0) pieces_.push_back({});
  pieces_.back().text += text;
}

void ReplaceTemplate::AddGroup(int group) { pieces_.push_back({{}, group}); }

std::string QuotePatternText(std::string_view text) {
  std::string quoted;
  for (char c : text) {
    // Space and # too: under (?x) they would be layout and comments.
    if (std::string_view("\\^$.|?*+()[]{}# ").find(c) != std::string_view::npos) quoted += '\\';
    quoted += c;
  }
  return quoted;
}

std::string QuoteReplaceText(std::string_view text) {
  std::string quoted;
  for (char c : text) {
    if (c == '$' || c == '\\') quoted += c;
    quoted += c;
  }
  return quoted;
}

}  // namespace varnex
