#include "filelist/listfill.h"

#include <utility>

namespace varnex {
namespace {

constexpr int kFirstRoom = 256;
constexpr int kBytesPerEntry = 64;  // a guess at a path's length; the list grows beyond it by itself

}  // namespace

ListFill::ListFill(HWND list, TickClock clock) : list_(list), clock_(std::move(clock)), lastShown_(clock_()) {
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
}

ListFill::~ListFill() { Show(); }

void ListFill::Adding() {
  if (room_ == 0) {
    const int count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    room_ = count < kFirstRoom ? kFirstRoom : count;
    SendMessageW(list_, LB_INITSTORAGE, room_, static_cast<LPARAM>(room_) * kBytesPerEntry);
  }
  --room_;
  const ULONGLONG now = clock_();
  if (now - lastShown_ < kInterval) return;
  lastShown_ = now;
  Show();
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
}

void ListFill::Show() {
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace varnex
