#pragma once
// The find and replace texts, as typed and as the dynamic variables make
// them, are UTF-8. A file is searched with them in the run's 8-bit form of
// that file (see engine/encoding.h): UTF-8 and UTF-16 files take them as they
// are, ANSI files in their code page.

#include <string>
#include <string_view>

#include "engine/encoding.h"

namespace varnex {

// False when the file is an ANSI file and its code page has no form for one
// of the text's characters: nothing stands in for it, so no such file can
// hold the text.
bool ToFileText(std::string_view text, TextEncoding encoding, std::string& fileText);

}  // namespace varnex
