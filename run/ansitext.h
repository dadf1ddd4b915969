#pragma once
// The find and replace texts are typed, and the dynamic variables' values
// made, in the ANSI code page; a file in another encoding is searched with
// them converted to the run's 8-bit form of that file (see engine/encoding.h).

#include <string>
#include <string_view>

#include "engine/encoding.h"

namespace varnex {

std::string AnsiToFileText(std::string_view ansi, TextEncoding encoding);

}  // namespace varnex
