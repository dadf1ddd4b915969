#pragma once
// A picture in memory for a test to paint into and read back pixel by pixel.

#include <windows.h>

#include <vector>

#include "framework/handle.h"

namespace varnex::testing {

class Canvas {
 public:
  // A picture of its own, in the screen's format, its content undefined until painted.
  Canvas(int width, int height);
  // Reads (and may paint on) a picture that stays its owner's.
  explicit Canvas(HBITMAP picture);

  HDC Dc() const { return dc_.Get(); }
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_.Get(), x, y); }
  // Row by row, from the top left.
  std::vector<COLORREF> Pixels() const;

 private:
  // Declared in this order so that the picture is put out of the DC before either goes.
  BitmapHandle owned_;
  MemoryDcHandle dc_;
  SelectedObject selected_;
  SIZE size_;
};

// What a control paints of its client area when asked to paint into memory,
// pixel by pixel.
std::vector<COLORREF> PaintingOf(HWND control);

}  // namespace varnex::testing
