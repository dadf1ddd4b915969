#pragma once
// Filling a visible list box entry by entry, as a scan does. Each added entry
// made the list update its scroll bar and redraw at once (under Wine some
// milliseconds apiece, a hundred times the cost of finding the entry), and its
// storage grew by a few entries at a time. While a ListFill lives the list
// draws nothing by itself and shows what it holds at most a few times a second,
// and once more at the end; its storage grows in doubling steps.

#include <windows.h>

#include "framework/tickclock.h"

namespace varnex {

class ListFill {
 public:
  static constexpr ULONGLONG kInterval = 250;  // milliseconds between showings

  ListFill(HWND list, TickClock clock);
  ~ListFill();
  ListFill(const ListFill&) = delete;
  ListFill& operator=(const ListFill&) = delete;

  // Before adding an entry: cheap enough for every one.
  void Adding();

 private:
  void Show();

  HWND list_;
  TickClock clock_;
  ULONGLONG lastShown_;
  int room_ = 0;  // entries that can still be added without the storage growing
};

}  // namespace varnex
