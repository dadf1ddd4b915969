#include "run/logline.h"

#include <algorithm>

namespace varnex {
namespace {

void AppendNumber(std::string& out, int value, int minimumDigits) {
  const std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < minimumDigits) out.append(minimumDigits - digits.size(), '0');
  out += digits;
}

// Formats a date with a platform date pattern: runs of d, M and y are fields,
// text in single quotes is literal ('' is a quote), everything else is copied.
std::string FormatDate(const LocalTime& time, const DateTimeConventions& conventions) {
  const std::string& pattern = conventions.shortDatePattern;
  std::string date;
  for (std::size_t at = 0; at < pattern.size();) {
    const char c = pattern[at];
    if (c == '\'') {
      const std::size_t close = pattern.find('\'', at + 1);
      if (close == at + 1) {
        date += '\'';
      } else {
        date.append(pattern, at + 1, (close == std::string::npos ? pattern.size() : close) - at - 1);
      }
      at = close == std::string::npos ? pattern.size() : close + 1;
      continue;
    }
    const std::size_t runEnd = std::min(pattern.find_first_not_of(c, at), pattern.size());
    const std::size_t run = runEnd - at;
    at = runEnd;
    switch (c) {
      case 'd':
        if (run <= 2) AppendNumber(date, time.day, static_cast<int>(run));
        else date += (run == 3 ? conventions.shortDayNames : conventions.dayNames)[time.dayOfWeek % 7];
        break;
      case 'M':
        if (run <= 2) AppendNumber(date, time.month, static_cast<int>(run));
        else date += (run == 3 ? conventions.shortMonthNames : conventions.monthNames)[(time.month + 11) % 12];
        break;
      case 'y':
        if (run <= 2) AppendNumber(date, time.year % 100, static_cast<int>(run));
        else AppendNumber(date, time.year, 4);
        break;
      case 'g':  // era: nothing to write for the Gregorian calendar in a log
        break;
      default:
        date.append(run, c);
    }
  }
  return date;
}

std::string FormatTime(const LocalTime& time, const DateTimeConventions& conventions) {
  int hour = time.hour;
  if (conventions.twelveHourClock) hour = hour % 12 == 0 ? 12 : hour % 12;
  std::string clock;
  AppendNumber(clock, hour, conventions.leadingZeroInHours ? 2 : 1);
  clock += conventions.timeSeparator;
  AppendNumber(clock, time.minute, 2);
  clock += conventions.timeSeparator;
  AppendNumber(clock, time.second, 2);
  if (!conventions.twelveHourClock) return clock;

  const std::string& designator = time.hour < 12 ? conventions.morningDesignator : conventions.afternoonDesignator;
  if (designator.empty()) return clock;
  return conventions.designatorFirst ? designator + ' ' + clock : clock + ' ' + designator;
}

}  // namespace

std::string FormatTimeStamp(const LocalTime& time, const DateTimeConventions& conventions) {
  return FormatDate(time, conventions) + ' ' + FormatTime(time, conventions);
}

std::string StartedLine(std::string_view timeStamp) {
  return std::string(timeStamp) + " - Application Started";
}

std::string ClosedLine(std::string_view timeStamp) {
  return std::string(timeStamp) + " - Application Closed";
}

std::string ReplacementLine(std::string_view timeStamp, std::string_view findText, std::string_view path,
                            std::string_view replaceText) {
  std::string line(timeStamp);
  line.append(" - ").append(findText).append(" found in ").append(path);
  line.append(" and replaced to ").append(replaceText);
  return line;
}

std::string FailureLine(std::string_view timeStamp, std::string_view failure) {
  std::string line(timeStamp);
  line.append(" - ").append(failure);
  return line;
}

std::string RestoredLine(std::string_view timeStamp, std::string_view path, std::string_view runTime) {
  std::string line(timeStamp);
  line.append(" - ").append(path).append(" restored as it was before the run of ").append(runTime);
  return line;
}

}  // namespace varnex
