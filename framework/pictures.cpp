#include "framework/pictures.h"

#include <string>

#include "engine/error.h"
#include "resources/resource.h"

namespace varnex {
namespace {

constexpr COLORREF kPictureGround = RGB(128, 128, 0);  // olive: drawn where the picture is transparent

}  // namespace

int PictureScaleStep(UINT dpi) {
  if (dpi >= 192) return 3;
  if (dpi >= 144) return 2;
  if (dpi >= 120) return 1;
  return 0;
}

BitmapHandle LoadPicture(HINSTANCE instance, int id, UINT dpi) {
  BitmapHandle picture(
      static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id + IDB_SCALE_STEP * PictureScaleStep(dpi)),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!picture) throw Error("Cannot load the picture " + std::to_string(id));
  return picture;
}

ImageListHandle LoadButtonPicture(HINSTANCE instance, int id, UINT dpi) {
  const BitmapHandle picture = LoadPicture(instance, id, dpi);
  BITMAP size{};
  GetObjectW(picture.Get(), sizeof size, &size);
  ImageListHandle list(ImageList_Create(size.bmWidth, size.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0));
  if (!list || ImageList_AddMasked(list.Get(), picture.Get(), kPictureGround) < 0) {
    throw Error("Cannot load the picture " + std::to_string(id));
  }
  return list;
}

HICON LoadProgramIcon(HINSTANCE instance, int size) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VARNEX), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace varnex
