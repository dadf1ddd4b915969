#include "run/localclock.h"

#include <windows.h>

namespace varnex {
namespace {

std::string LocaleText(LCTYPE item) {
  char text[128];
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, item, text, sizeof text);
  return length > 0 ? std::string(text, length - 1) : std::string();
}

}  // namespace

DateTimeConventions UserDateTimeConventions() {
  DateTimeConventions conventions;
  conventions.shortDatePattern = LocaleText(LOCALE_SSHORTDATE);
  conventions.timeSeparator = LocaleText(LOCALE_STIME);
  conventions.leadingZeroInHours = LocaleText(LOCALE_ITLZERO) == "1";
  conventions.twelveHourClock = LocaleText(LOCALE_ITIME) == "0";
  conventions.morningDesignator = LocaleText(LOCALE_S1159);
  conventions.afternoonDesignator = LocaleText(LOCALE_S2359);
  conventions.designatorFirst = LocaleText(LOCALE_ITIMEMARKPOSN) == "1";
  for (int month = 0; month < 12; ++month) {
    conventions.monthNames[month] = LocaleText(LOCALE_SMONTHNAME1 + month);
    conventions.shortMonthNames[month] = LocaleText(LOCALE_SABBREVMONTHNAME1 + month);
  }
  // The platform counts its day names from Monday; the conventions from Sunday.
  for (int day = 0; day < 7; ++day) {
    conventions.dayNames[(day + 1) % 7] = LocaleText(LOCALE_SDAYNAME1 + day);
    conventions.shortDayNames[(day + 1) % 7] = LocaleText(LOCALE_SABBREVDAYNAME1 + day);
  }
  return conventions;
}

std::string CurrentTimeStamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const LocalTime time{now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute, now.wSecond};
  return FormatTimeStamp(time, UserDateTimeConventions());
}

}  // namespace varnex
