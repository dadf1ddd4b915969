#pragma once
// The fonts the windows are laid out with, made once and shared.

#include <windows.h>

#include <array>

#include "framework/handle.h"

namespace varnex {

enum class FontKind {
  kWindow,          // "MS Sans Serif", 8 point
  kBold,            // the same, bold
  kLink,            // the same, underlined
  kBoldLink,        // the same, bold and underlined
  kFileList,        // "Times New Roman", 13 pixels high, Turkish character set
  kMemo,            // "Courier New", 8 point
  kCount
};

class Fonts {
 public:
  Fonts();
  HFONT Get(FontKind kind) const { return fonts_[static_cast<int>(kind)].Get(); }

 private:
  std::array<FontHandle, static_cast<int>(FontKind::kCount)> fonts_;
};

}  // namespace varnex
