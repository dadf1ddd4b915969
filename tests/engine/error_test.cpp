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

}  // namespace
}  // namespace varnex
