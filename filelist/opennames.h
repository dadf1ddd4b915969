#pragma once
// The files picked in a multiple-selection open dialog: either one full path,
// or a folder followed by the names picked in it, each ended by a NUL and the
// whole by a second NUL.

#include <string>
#include <string_view>
#include <vector>

namespace varnex {

std::vector<std::string> PickedFiles(std::string_view dialogBuffer);

}  // namespace varnex
