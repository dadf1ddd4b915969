#pragma once
// Dynamic variables: names in the find and replace texts that stand for parts of
// the path of the file being processed.

#include <array>
#include <string>
#include <string_view>

namespace varnex {

struct DynamicVariable {
  std::string_view name;
  std::string value;
};

// The five variables with their values for `path`, in the order of expansion:
// the longer names that begin with "$file" come before "$file" itself.
std::array<DynamicVariable, 5> DynamicVariablesFor(std::string_view path);

// Expands the variables in `text` one after the other, each through `replace`
// (text, variable name, value) -> text, which is the replacement routine with
// its log switch off, so the case option applies to the names too.
template <class Replace>
std::string ExpandDynamicVariables(std::string text, std::string_view path, Replace&& replace) {
  for (const DynamicVariable& variable : DynamicVariablesFor(path)) {
    text = replace(std::string_view(text), variable.name, std::string_view(variable.value));
  }
  return text;
}

}  // namespace varnex
