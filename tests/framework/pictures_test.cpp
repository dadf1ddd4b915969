#include "framework/pictures.h"

#include <gtest/gtest.h>

#include "engine/error.h"
#include "framework/dpi.h"
#include "resources/resource.h"
#include "tests/support/canvas.h"

namespace varnex {
namespace {

constexpr UINT kDpis[] = {96, 120, 144, 192};

// Every picture at every scale: its own drawing at the scaled size (never the
// 100% one stretched), and the buttons' pictures with their olive ground gone.
TEST(Pictures, EachIsDrawnAtTheSizeOfItsScale) {
  const struct {
    int id;
    int width;
    int height;
  } pictures[] = {
      {IDB_PLUS, 14, 14}, {IDB_MINUS, 14, 14}, {IDB_RESULTS_ARROW, 23, 17}, {IDB_OK_TICK, 16, 16},
      {IDB_CANCEL_CROSS, 16, 16},
  };
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const auto& picture : pictures) {
    for (UINT dpi : kDpis) {
      const BitmapHandle bitmap = LoadPicture(instance, picture.id, dpi);
      BITMAP size{};
      GetObjectW(bitmap.Get(), sizeof size, &size);
      EXPECT_EQ(size.bmWidth, ScaleToDpi(picture.width, dpi)) << picture.id << " at " << dpi;
      EXPECT_EQ(size.bmHeight, ScaleToDpi(picture.height, dpi)) << picture.id << " at " << dpi;

      const ImageListHandle list = LoadButtonPicture(instance, picture.id, dpi);
      int width = 0, height = 0;
      ASSERT_TRUE(ImageList_GetIconSize(list.Get(), &width, &height));
      EXPECT_EQ(width, size.bmWidth);
      EXPECT_EQ(ImageList_GetImageCount(list.Get()), 1);
      // Drawn on white, the ground of a button picture is white.
      const testing::Canvas canvas(width, height);
      PatBlt(canvas.Dc(), 0, 0, width, height, WHITENESS);
      ImageList_Draw(list.Get(), 0, canvas.Dc(), 0, 0, ILD_TRANSPARENT);
      if (picture.id != IDB_RESULTS_ARROW) {
        EXPECT_EQ(canvas.Pixel(0, height - 1), RGB(255, 255, 255)) << picture.id << " at " << dpi;
      }
    }
  }
  EXPECT_THROW(LoadPicture(instance, 999, 96), Error);
}

// The icon holds a drawing of each scale's size, which the system picks
// rather than stretching the 32-pixel one.
TEST(Pictures, TheIconIsDrawnForEachScale) {
  const HMODULE module = GetModuleHandleW(nullptr);
  HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDI_VARNEX), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
  for (UINT dpi : kDpis) {
    const int side = ScaleToDpi(32, dpi);
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, side, side, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(id), RT_ICON);
    ASSERT_NE(image, nullptr) << dpi;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
    EXPECT_EQ(header->biWidth, side) << dpi;

    HICON icon = LoadProgramIcon(module, side);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << dpi;
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, side) << dpi;
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  }
}

}  // namespace
}  // namespace varnex
