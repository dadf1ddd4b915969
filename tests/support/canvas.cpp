#include "tests/support/canvas.h"

namespace varnex::testing {
namespace {

HBITMAP ScreenCompatibleBitmap(int width, int height) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

SIZE SizeOf(HBITMAP picture) {
  BITMAP bitmap{};
  GetObjectW(picture, sizeof bitmap, &bitmap);
  return {bitmap.bmWidth, bitmap.bmHeight};
}

}  // namespace

Canvas::Canvas(int width, int height)
    : owned_(ScreenCompatibleBitmap(width, height)),
      dc_(CreateCompatibleDC(nullptr)),
      selected_(dc_.Get(), owned_.Get()),
      size_{width, height} {}

Canvas::Canvas(HBITMAP picture)
    : dc_(CreateCompatibleDC(nullptr)), selected_(dc_.Get(), picture), size_(SizeOf(picture)) {}

std::vector<COLORREF> Canvas::Pixels() const {
  std::vector<COLORREF> pixels;
  for (int y = 0; y < size_.cy; ++y) {
    for (int x = 0; x < size_.cx; ++x) pixels.push_back(Pixel(x, y));
  }
  return pixels;
}

std::vector<COLORREF> PaintingOf(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  const Canvas canvas(client.right, client.bottom);
  SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  return canvas.Pixels();
}

}  // namespace varnex::testing
