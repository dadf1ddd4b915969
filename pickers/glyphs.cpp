// What both pickers share: where their glyphs come from, how a glyph pair is
// prepared, the item height and the drawing of one item.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "framework/pictures.h"
#include "framework/unicode.h"
#include "framework/windowtext.h"
#include "pickers/NewFCtrl.h"
#include "pickers/system.h"

namespace varnex {
namespace {

// Every Windows this program runs on has the new-style shell, so its glyphs
// are the "95" pictures whenever the icon list is not used.
constexpr bool kNewStylePlatform = true;

// COM for the user-interface thread, from the first glyph to the end of the
// program; the shell's icon list needs it.
struct ComForThread {
  bool initialised = SUCCEEDED(CoInitialize(nullptr));
  ~ComForThread() {
    if (initialised) CoUninitialize();
  }
};

class MemoryDC {
 public:
  MemoryDC() : screen_(GetDC(nullptr)), dc_(CreateCompatibleDC(screen_)) {}
  ~MemoryDC() {
    DeleteDC(dc_);
    ReleaseDC(nullptr, screen_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC Screen() const { return screen_; }
  HDC Get() const { return dc_; }

 private:
  HDC screen_;
  HDC dc_;
};

RGBQUAD AsPixel(COLORREF color) { return {GetBValue(color), GetGValue(color), GetRValue(color), 0}; }

bool SamePixel(const RGBQUAD& a, const RGBQUAD& b) {
  return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// 32-bit pixels, bottom-up: the bottom-left pixel comes first.
BITMAPINFO PixelFormat(const GlyphPair& glyph) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = glyph.width;
  format.bmiHeader.biHeight = glyph.height;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  return format;
}

}  // namespace

std::string CurrentDirectory() {
  std::wstring buffer(MAX_PATH + 1, L'\0');
  for (;;) {
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return {};
    if (length < buffer.size()) return Utf8(std::wstring_view(buffer.data(), length));
    buffer.resize(length);
  }
}

bool ChangeDirectory(const std::string& path) { return !path.empty() && SetCurrentDirectoryW(Wide(path).c_str()); }

// Paths are UTF-8, where no byte of a longer character is a "\" or a ":".
bool IsLeadByte(unsigned char) { return false; }

// Letter case goes by character, never by byte: a byte of UTF-8 is no letter.
std::string LocaleUpper(std::string text) {
  std::wstring wide = Wide(text);
  if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return Utf8(wide);
}

std::string LocaleLower(std::string text) {
  std::wstring wide = Wide(text);
  if (!wide.empty()) CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return Utf8(wide);
}

bool UseShellIcons() {
  static const ComForThread com;
  return com.initialised;
}

HIMAGELIST SystemSmallIcons() {
  if (!UseShellIcons()) return nullptr;
  SHFILEINFOW info{};
  return reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
}

std::string GlyphResourceName(int index, bool newStyle, UINT dpi) {
  static constexpr const char* kScales[] = {"", "_125", "_150", "_200"};
  std::string name = GlyphNames.at(index);
  if (newStyle) name = name + "95" + kScales[PictureScaleStep(dpi)];
  return name;
}

GlyphPair MakeGlyphPair(HINSTANCE module, const char* resourceName, COLORREF color) {
  GlyphPair pair;
  const BitmapHandle picture(LoadBitmapW(module, Wide(resourceName).c_str()));
  if (!picture) return pair;
  BITMAP size;
  GetObjectW(picture.Get(), sizeof size, &size);
  pair.width = size.bmWidth;
  pair.height = size.bmHeight;

  BITMAPINFO format = PixelFormat(pair);
  std::vector<RGBQUAD> pixels(static_cast<std::size_t>(pair.width) * pair.height);
  const MemoryDC memory;
  GetDIBits(memory.Get(), picture.Get(), 0, pair.height, pixels.data(), &format, DIB_RGB_COLORS);
  const RGBQUAD key = pixels.front();

  const auto recoloured = [&](COLORREF ground) {
    std::vector<RGBQUAD> copy = pixels;
    for (RGBQUAD& pixel : copy) {
      if (SamePixel(pixel, key)) pixel = AsPixel(ground);
    }
    BitmapHandle glyph(CreateCompatibleBitmap(memory.Screen(), pair.width, pair.height));
    SetDIBits(memory.Get(), glyph.Get(), 0, pair.height, copy.data(), &format, DIB_RGB_COLORS);
    return glyph;
  };
  pair.normal = recoloured(color);
  pair.selected = recoloured(GetSysColor(COLOR_HIGHLIGHT));
  return pair;
}

GlyphPair MakeGlyphPair(HIMAGELIST icons, int index, COLORREF color) {
  GlyphPair pair;
  if (icons == nullptr || !ImageList_GetIconSize(icons, &pair.width, &pair.height)) return pair;
  const MemoryDC memory;
  // The icon list belongs to the whole process: its background goes back as it was.
  const COLORREF saved = ImageList_GetBkColor(icons);
  const auto drawnOn = [&](COLORREF ground) {
    BitmapHandle glyph(CreateCompatibleBitmap(memory.Screen(), pair.width, pair.height));
    const SelectedObject selected(memory.Get(), glyph.Get());
    ImageList_SetBkColor(icons, ground);
    ImageList_Draw(icons, index, memory.Get(), 0, 0, ILD_NORMAL);
    return glyph;
  };
  pair.normal = drawnOn(color);
  pair.selected = drawnOn(GetSysColor(COLOR_HIGHLIGHT));
  ImageList_SetBkColor(icons, saved);
  return pair;
}

GlyphPair ShellGlyph(const std::string& path, DWORD attributes, UINT flags, int size, COLORREF color) {
  SHFILEINFOW info{};
  if (size == GetSystemMetrics(SM_CXSMICON)) {
    HIMAGELIST icons = SystemSmallIcons();
    if (icons == nullptr ||
        !SHGetFileInfoW(Wide(path).c_str(), attributes, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | flags)) {
      return {};
    }
    return MakeGlyphPair(icons, info.iIcon, color);
  }
  // Taken from the icon file at the size itself, so that the system picks the
  // icon's own drawing nearest to it rather than stretching the small one.
  HICON icon = nullptr;
  if (!UseShellIcons() || !SHGetFileInfoW(Wide(path).c_str(), attributes, &info, sizeof info, SHGFI_ICONLOCATION | flags) ||
      SHDefExtractIconW(info.szDisplayName, info.iIcon, 0, &icon, nullptr, size) != S_OK || icon == nullptr) {
    return {};
  }
  GlyphPair pair;
  pair.width = pair.height = size;
  const MemoryDC memory;
  const auto drawnOn = [&](COLORREF ground) {
    BitmapHandle glyph(CreateCompatibleBitmap(memory.Screen(), size, size));
    const SelectedObject selected(memory.Get(), glyph.Get());
    const RECT all{0, 0, size, size};
    const BrushHandle brush(CreateSolidBrush(ground));
    FillRect(memory.Get(), &all, brush.Get());
    DrawIconEx(memory.Get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    return glyph;
  };
  pair.normal = drawnOn(color);
  pair.selected = drawnOn(GetSysColor(COLOR_HIGHLIGHT));
  DestroyIcon(icon);
  return pair;
}

bool SameDrawing(const GlyphPair& a, const GlyphPair& b) {
  if (!a || !b || a.width != b.width || a.height != b.height) return false;
  const auto pixels = [](const GlyphPair& glyph) {
    BITMAPINFO format = PixelFormat(glyph);
    std::vector<RGBQUAD> bits(static_cast<std::size_t>(glyph.width) * glyph.height);
    const MemoryDC memory;
    GetDIBits(memory.Get(), glyph.normal.Get(), 0, glyph.height, bits.data(), &format, DIB_RGB_COLORS);
    return bits;
  };
  const std::vector<RGBQUAD> first = pixels(a), second = pixels(b);
  return std::equal(first.begin(), first.end(), second.begin(), second.end(), SamePixel);
}

int FontTextHeight(HFONT font) {
  HDC screen = GetDC(nullptr);
  TEXTMETRICW metrics{};
  {
    const SelectedObject selected(screen, font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    GetTextMetricsW(screen, &metrics);
  }
  ReleaseDC(nullptr, screen);
  return metrics.tmHeight;
}

void DrawPickerItem(HDC dc, const RECT& item, bool selected, const GlyphPair* glyph, int glyphLeft, int textLeft,
                    std::string_view text) {
  FillRect(dc, &item, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (glyph != nullptr && *glyph) {
    const MemoryDcHandle memory(CreateCompatibleDC(dc));
    const SelectedObject picture(memory.Get(), (selected ? glyph->selected : glyph->normal).Get());
    const int top = (item.top + item.bottom - glyph->height) / 2;
    BitBlt(dc, glyphLeft, top, glyph->width, glyph->height, memory.Get(), 0, 0, SRCCOPY);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT textArea{textLeft, item.top, item.right, item.bottom};
  DrawTextLine(dc, text, textArea, DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

}  // namespace varnex
