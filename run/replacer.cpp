#include "run/replacer.h"

#include <utility>

#include "engine/dynvars.h"
#include "engine/replace.h"

namespace varnex {

Replacer::Replacer(ActivityLog& log, std::function<bool()> caseSensitive, std::function<void()> processPendingEvents)
    : log_(log), caseSensitive_(std::move(caseSensitive)), processPendingEvents_(std::move(processPendingEvents)) {}

std::string Replacer::ReplaceStr(std::string_view text, std::string_view findText, std::string_view replaceText,
                                 bool logSwitch, std::string_view currentFile) {
  struct Context final : ReplaceContext {
    Replacer& replacer;
    std::string_view file;
    Context(Replacer& r, std::string_view path) : replacer(r), file(path) {}

    bool CaseSensitive() override { return replacer.caseSensitive_(); }
    void ProcessPendingEvents() override { replacer.processPendingEvents_(); }
    void TextChanged(std::string_view find, std::string_view replace) override {
      replacer.FileChanged = true;
      replacer.log_.RecordReplacement(find, file, replace);
    }
  } context(*this, currentFile);
  return ReplaceOccurrences(text, findText, replaceText, logSwitch, context);
}

std::string Replacer::ExpandVariables(std::string_view text, std::string_view path) {
  return ExpandDynamicVariables(std::string(text), path,
                                [this](std::string_view current, std::string_view name, std::string_view value) {
                                  return ReplaceStr(current, name, value, false);
                                });
}

}  // namespace varnex
