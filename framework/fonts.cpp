#include "framework/fonts.h"

namespace varnex {
namespace {

// Heights are in pixels at 96 pixels per inch: 8 point is 11 pixels.
HFONT MakeFont(const wchar_t* face, int height, int weight, bool underline, BYTE charset) {
  return CreateFontW(-height, 0, 0, 0, weight, FALSE, underline, FALSE, charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

Fonts::Fonts(UINT dpi) : dpi_(dpi) {
  const int window = ScaleToDpi(11, dpi);
  fonts_[static_cast<int>(FontKind::kWindow)].Reset(MakeFont(L"MS Sans Serif", window, FW_NORMAL, false, DEFAULT_CHARSET));
  fonts_[static_cast<int>(FontKind::kBold)].Reset(MakeFont(L"MS Sans Serif", window, FW_BOLD, false, DEFAULT_CHARSET));
  fonts_[static_cast<int>(FontKind::kLink)].Reset(MakeFont(L"MS Sans Serif", window, FW_NORMAL, true, DEFAULT_CHARSET));
  fonts_[static_cast<int>(FontKind::kBoldLink)].Reset(MakeFont(L"MS Sans Serif", window, FW_BOLD, true, DEFAULT_CHARSET));
  fonts_[static_cast<int>(FontKind::kFileList)].Reset(
      MakeFont(L"Times New Roman", ScaleToDpi(13, dpi), FW_NORMAL, false, TURKISH_CHARSET));
  fonts_[static_cast<int>(FontKind::kMemo)].Reset(MakeFont(L"Courier New", window, FW_NORMAL, false, DEFAULT_CHARSET));
}

}  // namespace varnex
