#include "run/replacer.h"

#include <utility>

#include "engine/dynvars.h"
#include "engine/lineends.h"
#include "engine/replace.h"

namespace varnex {

Replacer::Replacer(std::unique_ptr<Matcher> matcher, std::function<bool()> caseSensitive,
                   std::function<void()> processPendingEvents)
    : matcher_(std::move(matcher)),
      caseSensitive_(std::move(caseSensitive)),
      processPendingEvents_(std::move(processPendingEvents)) {}

class Replacer::Context final : public ReplaceContext {
 public:
  explicit Context(Replacer& replacer) : replacer_(replacer) {}

  bool CaseSensitive() override { return replacer_.caseSensitive_(); }
  // The first replacement lets events through, then every so many: a text
  // with millions of occurrences would otherwise ask the clock millions of
  // times whether the window is due a look, which costs more than replacing.
  void ProcessPendingEvents() override {
    if (replacements_++ % kReplacementsPerLook == 0) replacer_.processPendingEvents_();
  }
  // The matcher tells its caller whether a file's text changed.
  void TextChanged(std::string_view, std::string_view) override {}

 private:
  static constexpr unsigned kReplacementsPerLook = 64;

  Replacer& replacer_;
  unsigned replacements_ = 0;
};

std::string Replacer::ReplaceStr(std::string_view text, std::string_view findText, std::string_view replaceText) {
  Context context(*this);
  return ReplaceOccurrences(text, findText, replaceText, false, context);
}

bool Replacer::ReplaceStrInto(std::string_view text, const MatchTexts& texts, std::string& result) {
  Context context(*this);
  return matcher_->ReplaceInto(text, texts, context, result);
}

bool Replacer::ReplaceStrOwned(std::string&& text, const MatchTexts& texts, std::string& result) {
  Context context(*this);
  return matcher_->ReplaceOwned(std::move(text), texts, context, result);
}

bool Replacer::ReplaceStrKeepingLineEnds(std::string_view text, const MatchTexts& texts, std::string& result) {
  Context context(*this);
  return ReplaceKeepingLineEnds(text, *matcher_, texts, context, result);
}

Occurrences Replacer::FindStr(std::string_view text, const MatchTexts& texts,
                              const std::function<void(MatchSpan)>& found) {
  Context context(*this);
  return matcher_->Find(text, texts, context, found);
}

std::string Replacer::ExpandVariables(std::string_view text, std::string_view path) {
  return ExpandDynamicVariables(std::string(text), path,
                                [this](std::string_view current, std::string_view name, std::string_view value) {
                                  return ReplaceStr(current, name, value);
                                });
}

}  // namespace varnex
