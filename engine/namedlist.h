#pragma once
// A message's list of paths: a heading and the first few of them, one a line,
// so that a box naming thousands stays within the screen.

#include <string>
#include <string_view>
#include <vector>

namespace varnex {

// "heading\rpath\rpath...\rand 12 more."; nothing for no paths.
std::string NamedList(std::string_view heading, const std::vector<std::string>& paths);

}  // namespace varnex
