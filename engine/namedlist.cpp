#include "engine/namedlist.h"

namespace varnex {
namespace {

// A message box taller than the screen helps nobody.
constexpr std::size_t kNamesShown = 20;

}  // namespace

std::string NamedList(std::string_view heading, const std::vector<std::string>& paths) {
  if (paths.empty()) return "";
  std::string text(heading);
  for (std::size_t index = 0; index < paths.size() && index < kNamesShown; ++index) text += "\r" + paths[index];
  if (paths.size() > kNamesShown) text += "\rand " + std::to_string(paths.size() - kNamesShown) + " more.";
  return text;
}

}  // namespace varnex
