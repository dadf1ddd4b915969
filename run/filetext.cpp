#include "run/filetext.h"

#include "framework/unicode.h"

namespace varnex {

bool ToFileText(std::string_view text, TextEncoding encoding, std::string& fileText) {
  if (encoding == TextEncoding::kAnsi) return ToAnsi(text, fileText);
  fileText.assign(text);
  return true;
}

}  // namespace varnex
