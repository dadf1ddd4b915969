#pragma once
// The program's button and dialog pictures at a window's DPI. Each is drawn at
// 100, 125, 150 and 200%; a DPI between those gets the largest drawing that
// fits its room, so a picture is never stretched.

#include <windows.h>

#include <commctrl.h>

#include "framework/handle.h"

namespace varnex {

// Which drawing serves `dpi`: 0 for 100% (and below), 1, 2 or 3 for 125, 150
// and 200% (and above).
int PictureScaleStep(UINT dpi);

// The picture `id` of the resources as drawn for `dpi`, in the screen's colours.
BitmapHandle LoadPicture(HINSTANCE instance, int id, UINT dpi);

// The same as an image list of one, its olive ground transparent, for a
// button's picture.
ImageListHandle LoadButtonPicture(HINSTANCE instance, int id, UINT dpi);

// The program's icon drawn nearest to `size` pixels; shared, never destroyed.
HICON LoadProgramIcon(HINSTANCE instance, int size);

}  // namespace varnex
