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
  DateTimeConventions noDesignators = UnitedStates();  // a 12-hour clock without AM and PM
  noDesignators.morningDesignator = noDesignators.afternoonDesignator = "";
  DateTimeConventions noDesignatorsFirst = noDesignators;
  noDesignatorsFirst.designatorFirst = true;
  DateTimeConventions fullDay = Germany();  // designators given, but a 24-hour clock
  fullDay.morningDesignator = "vorm.";
  fullDay.afternoonDesignator = "nachm.";

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
      {noDesignators, At(2026, 12, 6, 14, 51, 26), "12/6/2026 2:51:26"},
      {noDesignatorsFirst, At(2026, 12, 6, 0, 5, 9), "12/6/2026 12:05:09"},
      {fullDay, At(2026, 12, 6, 14, 51, 26), "06.12.2026 14:51:26"},
      {fullDay, At(2026, 12, 6, 9, 1, 2), "06.12.2026 09:01:02"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatTimeStamp(c.time, c.conventions), c.expected);
}

// Every letter of the platform's date patterns, alone and in the runs it
// knows, on a date whose fields all differ from one another and on one whose
// fields need no padding.
TEST(TimeStamp, WritesEveryDatePatternLetter) {
  DateTimeConventions names = Germany();
  names.monthNames = {"January", "February", "March",     "April",   "May",      "June",
                      "July",    "August",   "September", "October", "November", "December"};
  names.shortMonthNames = UnitedStates().shortMonthNames;
  names.dayNames = UnitedStates().dayNames;
  names.shortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  struct Case {
    const char* pattern;
    const char* early;  // Wednesday, 4 March 2009
    const char* late;   // Saturday, 14 November 2026
  };
  const Case cases[] = {
      {"d", "4", "14"},
      {"dd", "04", "14"},
      {"ddd", "Wed", "Sat"},
      {"dddd", "Wednesday", "Saturday"},
      {"M", "3", "11"},
      {"MM", "03", "11"},
      {"MMM", "Mar", "Nov"},
      {"MMMM", "March", "November"},
      {"y", "9", "26"},
      {"yy", "09", "26"},
      {"yyy", "2009", "2026"},
      {"yyyy", "2009", "2026"},
      {"yyyyy", "2009", "2026"},
      {"g", "", ""},  // the era
      {"gg", "", ""},
      {"gg yyyy", " 2009", " 2026"},
      {"'d' d", "d 4", "d 14"},
      {"''d''", "'4'", "'14'"},
      {"d 'of", "4 of", "14 of"},  // a quote never closed runs to the end
      {"d//M--yy  .", "4//3--09  .", "14//11--26  ."},
      {"dddd, d. MMMM yyyy", "Wednesday, 4. March 2009", "Saturday, 14. November 2026"},
  };
  for (const Case& c : cases) {
    names.shortDatePattern = c.pattern;
    EXPECT_EQ(FormatTimeStamp(At(2009, 3, 4, 10, 0, 0, 3), names), std::string(c.early) + " 10:00:00") << c.pattern;
    EXPECT_EQ(FormatTimeStamp(At(2026, 11, 14, 10, 0, 0, 6), names), std::string(c.late) + " 10:00:00") << c.pattern;
  }
}

TEST(LogLines, JoinTheirPiecesWithoutExtraSeparators) {
  EXPECT_EQ(StartedLine("T"), "T - Application Started");
  EXPECT_EQ(ClosedLine("T"), "T - Application Closed");
  EXPECT_EQ(ReplacementLine("T", "a\r\nb", "C:\\x.txt", ""), "T - a\r\nb found in C:\\x.txt and replaced to ");
  EXPECT_EQ(RestoredLine("T", "C:\\x.txt", "R"), "T - C:\\x.txt restored as it was before the run of R");
}

}  // namespace
}  // namespace varnex
