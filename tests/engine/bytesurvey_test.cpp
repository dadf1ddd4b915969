#include "engine/bytesurvey.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/encoding.h"
#include "engine/textlines.h"

namespace varnex {
namespace {

// The survey of `bytes` in the given pieces against the functions that each
// walk the whole text: they must agree however the text was cut.
void ExpectAsTheWholeTexts(std::string_view bytes, const std::vector<std::size_t>& cuts, const std::string& what) {
  ByteSurvey survey;
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    survey.Add(bytes.substr(from, cut - from));
    from = cut;
  }
  survey.Add(bytes.substr(from));
  ASSERT_EQ(survey.Ascii(), IsAscii(bytes)) << what;
  ASSERT_EQ(survey.HoldsNul(), bytes.find('\0') != std::string_view::npos) << what;
  ASSERT_EQ(survey.InLineShape(), IsInLineShape(bytes)) << what;
}

TEST(ByteSurvey, AgreesWithTheWholeTextChecksWhereverThePiecesEnd) {
  const std::string block64(62, 'a');
  const std::string cases[] = {
      "",
      "\r\n",
      "a\r\n",
      "a",
      "a\r",
      "a\n",
      "\r",
      "\n",
      "\n\r",
      "a\r\r\n",
      "a\r\n\n",
      std::string("a\0\r\n", 4),
      "caf\xC3\xA9\r\n",
      "\xEF\xBB\xBFx\r\n",
      // Line ends on and across the edges of the 64-byte blocks.
      block64 + "\r\n",
      block64 + "a\r\nb\r\n",
      block64 + "ab\r\n",
      block64 + "a\r" + block64 + "\n",
      block64 + "a\rb" + block64 + "\r\n",
      block64 + block64 + "\r\n" + block64 + "\xE9\r\n",
      block64 + block64 + std::string(1, '\0') + "\r\n",
      block64 + "\r\n" + block64 + "\r\n" + block64 + "\n",
  };
  for (const std::string& bytes : cases) {
    const std::string what = testing::PrintToString(bytes);
    ExpectAsTheWholeTexts(bytes, {}, what + " whole");
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) ExpectAsTheWholeTexts(bytes, {cut}, what + " cut");
  }
}

TEST(ByteSurvey, AgreesOnRandomTextsInRandomPieces) {
  std::mt19937 random(26);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\r', '\n', '\0', '\x80', '\xC3'};
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    const std::size_t length = random() % 300;
    // Mostly well-formed lines, so texts in the line shape come up often.
    const bool lines = round % 2 == 0;
    while (bytes.size() < length) {
      if (lines) {
        bytes.append(random() % 80, 'x').append("\r\n");
        if (random() % 50 == 0) bytes += alphabet[random() % sizeof alphabet];
      } else {
        bytes += alphabet[random() % (random() % 4 == 0 ? sizeof alphabet : 2)];
      }
    }
    std::vector<std::size_t> cuts;
    for (std::size_t cut = random() % 70; cut < bytes.size(); cut += 1 + random() % 100) cuts.push_back(cut);
    ExpectAsTheWholeTexts(bytes, cuts, testing::PrintToString(bytes));
  }
}

}  // namespace
}  // namespace varnex
