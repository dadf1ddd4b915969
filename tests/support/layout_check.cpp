#include "tests/support/layout_check.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/unicode.h"
#include "framework/windowtext.h"
#include "tests/support/dialog_driver.h"

namespace varnex::testing {
namespace {

bool Holds(const RECT& outer, const RECT& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

LOGFONTW FontOf(HFONT font) {
  LOGFONTW face{};
  GetObjectW(font, sizeof face, &face);
  return face;
}

// The caption's size as the control draws it, "&" marking an access key
// unless the control shows it as it is.
SIZE CaptionSize(HWND control, bool prefixShown) {
  const std::wstring text = Wide(WindowText(control));
  HDC dc = GetDC(control);
  const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT bounds{};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
            DT_CALCRECT | DT_SINGLELINE | (prefixShown ? DT_NOPREFIX : 0));
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  return {bounds.right, bounds.bottom};
}

// The room a control's own drawing takes beside its caption, across and down.
SIZE Furniture(HWND control, const std::string& className, UINT dpi) {
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  if (className != "BUTTON") return {0, 0};
  switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX:
      return {ScaleToDpi(16, dpi), 0};
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:  // the box and the gap after it
      return {ScaleToDpi(17, dpi), 0};
    default: {  // the edges, and a picture beside the caption
      int picture = 0;
      BUTTON_IMAGELIST images{};
      if (SendMessageW(control, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images)) && images.himl != nullptr) {
        int width = 0, height = 0;
        ImageList_GetIconSize(images.himl, &width, &height);
        picture = width + images.margin.left + images.margin.right;
      }
      return {ScaleToDpi(8, dpi) + picture, ScaleToDpi(4, dpi)};
    }
  }
}

}  // namespace

void SendDpiChange(HWND window, UINT fromDpi, UINT toDpi) {
  RECT frame;
  GetWindowRect(window, &frame);
  RECT suggested{frame.left, frame.top,
                 frame.left + MulDiv(frame.right - frame.left, static_cast<int>(toDpi), static_cast<int>(fromDpi)),
                 frame.top + MulDiv(frame.bottom - frame.top, static_cast<int>(toDpi), static_cast<int>(fromDpi))};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(toDpi, toDpi), reinterpret_cast<LPARAM>(&suggested));
  RECT after;
  GetWindowRect(window, &after);
  EXPECT_EQ(after.left, suggested.left);
  EXPECT_EQ(after.top, suggested.top);
}

void ExpectLaidOutAt(HWND window, std::span<const ControlLayout> table, SIZE clientSize, UINT dpi) {
  SCOPED_TRACE(::testing::Message() << "at " << dpi << " DPI");
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, ScaleToDpi(clientSize.cx, dpi));
  EXPECT_EQ(client.bottom, ScaleToDpi(clientSize.cy, dpi));

  const Fonts fonts(dpi);
  for (const ControlLayout& entry : table) {
    SCOPED_TRACE(::testing::Message() << "control " << entry.id << " \"" << entry.caption << "\"");
    HWND control = GetDlgItem(window, entry.id);
    ASSERT_NE(control, nullptr);
    const RECT place = PlaceOf(control), expected = ScaledPlace(entry, dpi);
    const bool sizedToText = entry.width == 0;
    EXPECT_EQ(place.top, expected.top);
    if (!sizedToText) {
      EXPECT_EQ(place.left, expected.left);
      EXPECT_EQ(place.right, expected.right);
      EXPECT_EQ(place.bottom, expected.bottom);
    }

    // Picture buttons and the progress bar keep no font.
    const HFONT used = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (used != nullptr) {
      const LOGFONTW font = FontOf(used), made = FontOf(fonts.Get(entry.font));
      EXPECT_EQ(font.lfHeight, made.lfHeight);
      EXPECT_EQ(font.lfWeight, made.lfWeight);
    }

    const std::string className = entry.className;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const bool texted = (className == "STATIC" && (style & SS_TYPEMASK) <= SS_LEFTNOWORDWRAP) ||
                        (className == "BUTTON" && (style & BS_TYPEMASK) != BS_OWNERDRAW);
    if (!texted || WindowText(control).empty()) continue;
    EXPECT_NE(used, nullptr);
    const SIZE caption = CaptionSize(control, className == "STATIC" && (style & SS_NOPREFIX));
    const SIZE furniture = Furniture(control, className, dpi);
    EXPECT_LE(caption.cx + furniture.cx, place.right - place.left) << WindowText(control);
    EXPECT_LE(caption.cy + furniture.cy, place.bottom - place.top) << WindowText(control);
  }

  std::vector<std::pair<HWND, RECT>> children;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    children.emplace_back(child, PlaceOf(child));
  }
  for (std::size_t a = 0; a < children.size(); ++a) {
    for (std::size_t b = a + 1; b < children.size(); ++b) {
      const RECT& one = children[a].second;
      const RECT& other = children[b].second;
      RECT common;
      if (!IntersectRect(&common, &one, &other) || Holds(one, other) || Holds(other, one)) continue;
      ADD_FAILURE() << "controls " << GetDlgCtrlID(children[a].first) << " and " << GetDlgCtrlID(children[b].first)
                    << " overlap";
    }
  }
}

}  // namespace varnex::testing
