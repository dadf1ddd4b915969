#include "engine/error.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(Error, FormatPutsTheArgumentInPlaceOfTheMarker) {
  EXPECT_STREQ(Error::Format(kCannotCreateFile, "C:\\x\\varnex.log").what(), "Cannot create file C:\\x\\varnex.log");
  EXPECT_STREQ(Error::Format("no marker", "x").what(), "no marker");
  EXPECT_STREQ(Error::Format("%s %s", "%s").what(), "%s %s");
}

TEST(Error, ReportTextEndsWithAFullStopAfterLettersAndDigits) {
  struct Case {
    const char* message;
    const char* shown;
  };
  const Case cases[] = {
      {"Cannot create file C:\\varnex.log", "Cannot create file C:\\varnex.log."},
      {"Done 42", "Done 42."},
      {"Ends well.", "Ends well."},
      {"Shouted!", "Shouted!"},
      {"(aside)", "(aside)"},
      {"", ""},
      {"caf\xE9", "caf\xE9."},
  };
  for (const Case& c : cases) EXPECT_EQ(WithFullStop(c.message), c.shown);
}

// The reason goes on its own line in a box and after a blank in a log line;
// a reason in the system's own words ends with a full stop as any other.
TEST(Error, AFailureWithItsReasonReadsAsOneOrTwoSentences) {
  const Error failure = Error::Format(kCannotOpenFile, "C:\\a.txt");
  const struct {
    Error error;
    const char* between;
    const char* shown;
  } cases[] = {
      {failure, "\n", "Cannot open file C:\\a.txt."},
      {failure.Because(FailureReason::kReadOnly), "\n", "Cannot open file C:\\a.txt.\nThe file is read-only."},
      {failure.Because(FailureReason::kOther, "The device is not ready"), " ",
       "Cannot open file C:\\a.txt. The device is not ready."},
  };
  for (const auto& c : cases) EXPECT_EQ(WithReason(c.error, c.between), c.shown);
  EXPECT_EQ(failure.Because(FailureReason::kBinaryData).Reason(), FailureReason::kBinaryData);
}

}  // namespace
}  // namespace varnex
