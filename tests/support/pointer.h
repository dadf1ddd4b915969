#pragma once
// Where the real pointer rests while a test runs.

#include <windows.h>

namespace varnex::testing {

// The bottom right corner of the screen: no window of a test opens there, as
// windows are centred or placed at the top left.
POINT ParkingPlace();

// Moves the real pointer to its parking place and waits until the system
// reports it there, so no window opened afterwards finds it over itself.
void ParkPointer();

}  // namespace varnex::testing
