#include "run/replacer.h"

#include <utility>

#include "engine/dynvars.h"
#include "engine/replace.h"

namespace varnex {

Replacer::Replacer(std::function<bool()> caseSensitive, std::function<void()> processPendingEvents)
    : caseSensitive_(std::move(caseSensitive)), processPendingEvents_(std::move(processPendingEvents)) {}

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
  void TextChanged(std::string_view, std::string_view) override { changed_ = true; }

  bool Changed() const { return changed_; }

 private:
  static constexpr unsigned kReplacementsPerLook = 64;

  Replacer& replacer_;
  unsigned replacements_ = 0;
  bool changed_ = false;
};

std::string Replacer::ReplaceStr(std::string_view text, std::string_view findText, std::string_view replaceText) {
  Context context(*this);
  return ReplaceOccurrences(text, findText, replaceText, false, context);
}

bool Replacer::ReplaceStrInto(std::string_view text, std::string_view findText, std::string_view replaceText,
                              std::string& result) {
  Context context(*this);
  return ReplaceOccurrencesInto(text, findText, replaceText, true, context, result) && context.Changed();
}

bool Replacer::ReplaceStrOwned(std::string&& text, std::string_view findText, std::string_view replaceText,
                               std::string& result) {
  Context context(*this);
  result = ReplaceOccurrencesOwned(std::move(text), findText, replaceText, true, context);
  return context.Changed();
}

Occurrences Replacer::FindStr(std::string_view text, std::string_view findText, std::string_view replaceText,
                              const std::function<void(std::size_t)>& found) {
  Context context(*this);
  return FindOccurrences(text, findText, replaceText, context, found);
}

std::string Replacer::ExpandVariables(std::string_view text, std::string_view path) {
  return ExpandDynamicVariables(std::string(text), path,
                                [this](std::string_view current, std::string_view name, std::string_view value) {
                                  return ReplaceStr(current, name, value);
                                });
}

}  // namespace varnex
