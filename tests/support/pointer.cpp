#include "tests/support/pointer.h"

#include <gtest/gtest.h>

namespace varnex::testing {

POINT ParkingPlace() { return {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1}; }

void ParkPointer() {
  const POINT place = ParkingPlace();
  constexpr ULONGLONG kLimit = 10000;  // milliseconds; the X server answers within a few
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    SetCursorPos(place.x, place.y);
    POINT now;
    if (GetCursorPos(&now) && now.x == place.x && now.y == place.y) return;
    if (GetTickCount64() - start > kLimit) break;
    Sleep(10);
  }
  ADD_FAILURE() << "the pointer cannot be parked at " << place.x << ", " << place.y;
}

}  // namespace varnex::testing
