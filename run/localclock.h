#pragma once
// The local clock and the user's regional date and time settings.

#include <string>

#include "run/logline.h"

namespace varnex {

DateTimeConventions UserDateTimeConventions();

// The local date and time now, as the activity log writes it.
std::string CurrentTimeStamp();

}  // namespace varnex
