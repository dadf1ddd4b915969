#include "engine/matcher.h"

#include <utility>

namespace varnex {
namespace {

// Passes the caller's context through and notes whether the replacement
// changed the text, which the routines tell only through TextChanged.
class ChangeWatch final : public ReplaceContext {
 public:
  explicit ChangeWatch(ReplaceContext& context) : context_(context) {}

  bool CaseSensitive() override { return context_.CaseSensitive(); }
  void ProcessPendingEvents() override { context_.ProcessPendingEvents(); }
  void TextChanged(std::string_view findText, std::string_view replaceText) override {
    changed_ = true;
    context_.TextChanged(findText, replaceText);
  }

  bool Changed() const { return changed_; }

 private:
  ReplaceContext& context_;
  bool changed_ = false;
};

class LiteralMatcher final : public Matcher {
 public:
  bool ReplaceInto(std::string_view text, const MatchTexts& texts, ReplaceContext& context,
                   std::string& result) override {
    ChangeWatch watch(context);
    std::string replaced;
    if (!ReplaceOccurrencesInto(text, texts.find, texts.replace, true, watch, replaced) || !watch.Changed()) {
      return false;
    }
    result = std::move(replaced);
    return true;
  }

  bool ReplaceOwned(std::string&& text, const MatchTexts& texts, ReplaceContext& context,
                    std::string& result) override {
    ChangeWatch watch(context);
    result = ReplaceOccurrencesOwned(std::move(text), texts.find, texts.replace, true, watch);
    return watch.Changed();
  }

  Occurrences Find(std::string_view text, const MatchTexts& texts, ReplaceContext& context,
                   const std::function<void(MatchSpan)>& found) override {
    return FindOccurrences(text, texts.find, texts.replace, context,
                           [&found, &texts](std::size_t at) { found({at, texts.find.size(), texts.replace}); });
  }
};

}  // namespace

std::unique_ptr<Matcher> MakeLiteralMatcher() { return std::make_unique<LiteralMatcher>(); }

}  // namespace varnex
