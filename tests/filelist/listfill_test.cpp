#include "filelist/listfill.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

// The list's scroll range tells whether it has taken in the entries added so far.
int ScrollMax(HWND list) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE;
  GetScrollInfo(list, SB_VERT, &info);
  return info.nMax;
}

TEST(ListFill, ShowsTheEntriesAfterAPauseAndAtTheEnd) {
  HWND list = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | WS_VSCROLL | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 0, 0,
                              200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  {
    ULONGLONG now = 1000;
    ListFill fill(list, [&now] { return now; });
    auto add = [&](int count) {
      for (int i = 0; i < count; ++i) {
        fill.Adding();
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("entry"));
      }
    };
    add(300);  // beyond the first reserve
    EXPECT_LT(ScrollMax(list), 299);  // quiet while filling
    now += ListFill::kInterval - 1;
    add(1);
    EXPECT_LT(ScrollMax(list), 300);  // not yet
    now += 1;
    add(1);
    EXPECT_EQ(ScrollMax(list), 300);  // shown before the entry after the pause
    now += ListFill::kInterval - 1;
    add(98);
    EXPECT_EQ(ScrollMax(list), 300);  // too soon to show again: as shown after the pause
  }
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 400);
  EXPECT_EQ(ScrollMax(list), 399);
  DestroyWindow(list);
}

}  // namespace
}  // namespace varnex
