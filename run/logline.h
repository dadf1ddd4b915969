#pragma once
// The lines of the activity log, each starting with the local date and time in
// the user's regional format.

#include <array>
#include <string>
#include <string_view>

namespace varnex {

// The regional date and time settings a time stamp is written with.
struct DateTimeConventions {
  std::string shortDatePattern;  // as the platform gives it: d dd ddd dddd M MM MMM MMMM y yy yyyy, 'quoted'
  std::string timeSeparator;
  bool leadingZeroInHours = false;
  bool twelveHourClock = false;
  std::string morningDesignator;    // AM
  std::string afternoonDesignator;  // PM
  bool designatorFirst = false;
  std::array<std::string, 12> monthNames;       // January first
  std::array<std::string, 12> shortMonthNames;
  std::array<std::string, 7> dayNames;          // Sunday first
  std::array<std::string, 7> shortDayNames;
};

struct LocalTime {
  int year = 0;
  int month = 1;      // 1-12
  int day = 1;        // 1-31
  int dayOfWeek = 0;  // 0 is Sunday
  int hour = 0;       // 0-23
  int minute = 0;
  int second = 0;
};

// Short date, one blank, time with seconds (and the designator on a 12-hour clock).
std::string FormatTimeStamp(const LocalTime& time, const DateTimeConventions& conventions);

std::string StartedLine(std::string_view timeStamp);
std::string ClosedLine(std::string_view timeStamp);
std::string ReplacementLine(std::string_view timeStamp, std::string_view findText, std::string_view path,
                            std::string_view replaceText);
// A file that a run could not do, after the run's other lines: `failure` is
// what the user was told, on one line.
std::string FailureLine(std::string_view timeStamp, std::string_view failure);
// A file that Undo Last Run gave back the text it had before the run of `runTime`.
std::string RestoredLine(std::string_view timeStamp, std::string_view path, std::string_view runTime);

}  // namespace varnex
