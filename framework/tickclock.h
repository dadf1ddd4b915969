#pragma once
// Milliseconds since some fixed moment, as GetTickCount64 counts them. Whatever
// paces itself by the clock (the event pump, a list filling) takes one, so a
// test can hand in a clock of its own instead of racing the real one.

#include <windows.h>

#include <functional>

namespace varnex {

using TickClock = std::function<ULONGLONG()>;

}  // namespace varnex
