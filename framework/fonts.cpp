#include "framework/fonts.h"

namespace varnex {
namespace {

// Heights are in pixels at 96 pixels per inch: 8 point is 11 pixels.
HFONT MakeFont(const char* face, int height, int weight, bool underline, BYTE charset) {
  return CreateFontA(-height, 0, 0, 0, weight, FALSE, underline, FALSE, charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

Fonts::Fonts() {
  fonts_[static_cast<int>(FontKind::kWindow)].Reset(MakeFont("MS Sans Serif", 11, FW_NORMAL, false, DEFAULT_CHARSET));
  fonts_[static_cast<int>(FontKind::kBold)].Reset(MakeFont("MS Sans Serif", 11, FW_BOLD, false, DEFAULT_CHARSET));
  fonts_[static_cast<int>(FontKind::kLink)].Reset(MakeFont("MS Sans Serif", 11, FW_NORMAL, true, DEFAULT_CHARSET));
  fonts_[static_cast<int>(FontKind::kBoldLink)].Reset(MakeFont("MS Sans Serif", 11, FW_BOLD, true, DEFAULT_CHARSET));
  fonts_[static_cast<int>(FontKind::kFileList)].Reset(
      MakeFont("Times New Roman", 13, FW_NORMAL, false, TURKISH_CHARSET));
  fonts_[static_cast<int>(FontKind::kMemo)].Reset(MakeFont("Courier New", 11, FW_NORMAL, false, DEFAULT_CHARSET));
}

}  // namespace varnex
