#pragma once
// The fonts a window is laid out with, made for the DPI it is drawn at; a
// window makes a new set when its DPI changes.

#include <windows.h>

#include <array>

#include "framework/dpi.h"
#include "framework/handle.h"

namespace varnex {

enum class FontKind {
  kWindow,          // "MS Sans Serif", 8 point
  kBold,            // the same, bold
  kLink,            // the same, underlined
  kBoldLink,        // the same, bold and underlined
  kFileList,        // "Times New Roman", 13 pixels high at 96 DPI, Turkish character set
  kMemo,            // "Courier New", 8 point
  kCount
};

class Fonts {
 public:
  explicit Fonts(UINT dpi = kBaseDpi);
  HFONT Get(FontKind kind) const { return fonts_[static_cast<int>(kind)].Get(); }
  UINT Dpi() const { return dpi_; }

 private:
  UINT dpi_;
  std::array<FontHandle, static_cast<int>(FontKind::kCount)> fonts_;
};

}  // namespace varnex
