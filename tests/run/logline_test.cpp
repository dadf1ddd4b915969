#include "run/logline.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

DateTimeConventions UnitedStates() {
  DateTimeConventions c;
  c.shortDatePattern = "M/d/yyyy";
  c.timeSeparator = ":";
  c.twelveHourClock = true;
  c.morningDesignator = "AM";
  c.afternoonDesignator = "PM";
  c.shortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  c.dayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  return c;
}

DateTimeConventions Germany() {
  DateTimeConventions c;
  c.shortDatePattern = "dd.MM.yyyy";
  c.timeSeparator = ":";
  c.leadingZeroInHours = true;
  return c;
}

DateTimeConventions Korea() {  // designator in front of the time
  DateTimeConventions c;
  c.shortDatePattern = "yyyy-MM-dd";
  c.timeSeparator = ":";
  c.twelveHourClock = true;
  c.morningDesignator = "\xBF\xC0\xC0\xFC";
  c.afternoonDesignator = "\xBF\xC0\xC8\xC4";
  c.designatorFirst = true;
  return c;
}

LocalTime At(int year, int month, int day, int hour, int minute, int second, int dayOfWeek = 0) {
  return LocalTime{year, month, day, dayOfWeek, hour, minute, second};
}

TEST(TimeStamp, FollowsTheRegionalSettings) {
  struct Case {
    DateTimeConventions conventions;
    LocalTime time;
    const char* expected;
  };
  DateTimeConventions quoted = Germany();
  quoted.shortDatePattern = "d 'de' MMM 'yy''' yy";
  quoted.shortMonthNames = UnitedStates().shortMonthNames;
  DateTimeConventions weekday = UnitedStates();
  weekday.shortDatePattern = "dddd, MM/dd/yy";
  DateTimeConventions dotted = Germany();
  dotted.timeSeparator = ".";
  dotted.leadingZeroInHours = false;

  const Case cases[] = {
      {UnitedStates(), At(2026, 12, 6, 14, 51, 26), "12/6/2026 2:51:26 PM"},
      {Germany(), At(2026, 12, 6, 14, 51, 26), "06.12.2026 14:51:26"},
      {UnitedStates(), At(2026, 1, 2, 0, 5, 9), "1/2/2026 12:05:09 AM"},
      {UnitedStates(), At(2026, 1, 2, 12, 0, 0), "1/2/2026 12:00:00 PM"},
      {Germany(), At(2026, 1, 2, 7, 5, 9), "02.01.2026 07:05:09"},
      {Korea(), At(2026, 12, 6, 9, 1, 2), "2026-12-06 \xBF\xC0\xC0\xFC 9:01:02"},
      {Korea(), At(2026, 12, 6, 23, 1, 2), "2026-12-06 \xBF\xC0\xC8\xC4 11:01:02"},
      {quoted, At(2026, 3, 4, 10, 0, 0), "4 de Mar yy' 26 10:00:00"},
      {weekday, At(2009, 3, 4, 10, 0, 0, 3), "Wednesday, 03/04/09 10:00:00 AM"},
      {dotted, At(2026, 3, 4, 8, 7, 6), "04.03.2026 8.07.06"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatTimeStamp(c.time, c.conventions), c.expected);
}

TEST(LogLines, JoinTheirPiecesWithoutExtraSeparators) {
  EXPECT_EQ(StartedLine("T"), "T - Application Started");
  EXPECT_EQ(ClosedLine("T"), "T - Application Closed");
  EXPECT_EQ(ReplacementLine("T", "a\r\nb", "C:\\x.txt", ""), "T - a\r\nb found in C:\\x.txt and replaced to ");
}

}  // namespace
}  // namespace varnex
