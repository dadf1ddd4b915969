#include "run/replacer.h"

#include <optional>
#include <utility>

#include "engine/dynvars.h"
#include "engine/replace.h"

namespace varnex {

Replacer::Replacer(ActivityLog& log, std::function<bool()> caseSensitive, std::function<void()> processPendingEvents)
    : log_(log), caseSensitive_(std::move(caseSensitive)), processPendingEvents_(std::move(processPendingEvents)) {}

class Replacer::Context final : public ReplaceContext {
 public:
  Context(Replacer& replacer, std::string_view file, std::optional<TypedTexts> typed = {})
      : replacer_(replacer), file_(file), typed_(typed) {}

  bool CaseSensitive() override { return replacer_.caseSensitive_(); }
  // The first replacement lets events through, then every so many: a text
  // with millions of occurrences would otherwise ask the clock millions of
  // times whether the window is due a look, which costs more than replacing.
  void ProcessPendingEvents() override {
    if (replacements_++ % kReplacementsPerLook == 0) replacer_.processPendingEvents_();
  }
  void TextChanged(std::string_view find, std::string_view replace) override {
    replacer_.FileChanged = true;
    if (typed_) {
      find = typed_->find;
      replace = typed_->replace;
    }
    replacer_.log_.RecordReplacement(find, file_, replace);
  }

 private:
  static constexpr unsigned kReplacementsPerLook = 64;

  Replacer& replacer_;
  std::string_view file_;
  std::optional<TypedTexts> typed_;
  unsigned replacements_ = 0;
};

std::string Replacer::ReplaceStr(std::string_view text, std::string_view findText, std::string_view replaceText,
                                 bool logSwitch, std::string_view currentFile) {
  Context context(*this, currentFile);
  return ReplaceOccurrences(text, findText, replaceText, logSwitch, context);
}

bool Replacer::ReplaceStrInto(std::string_view text, std::string_view findText, std::string_view replaceText,
                              std::string_view currentFile, TypedTexts typed, std::string& result) {
  Context context(*this, currentFile, typed);
  return ReplaceOccurrencesInto(text, findText, replaceText, true, context, result);
}

std::string Replacer::ReplaceStr(std::string&& text, std::string_view findText, std::string_view replaceText,
                                 std::string_view currentFile, TypedTexts typed) {
  Context context(*this, currentFile, typed);
  return ReplaceOccurrencesOwned(std::move(text), findText, replaceText, true, context);
}

std::string Replacer::ExpandVariables(std::string_view text, std::string_view path) {
  return ExpandDynamicVariables(std::string(text), path,
                                [this](std::string_view current, std::string_view name, std::string_view value) {
                                  return ReplaceStr(current, name, value, false);
                                });
}

}  // namespace varnex
