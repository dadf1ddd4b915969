#include "engine/exclusions.h"

#include <gtest/gtest.h>

#include <tuple>

namespace varnex {
namespace {

TEST(ExclusionMasks, LeaveOutFoldersAndFilesByNameOrPathWhateverTheirCase) {
  const ExclusionMasks masks(" .git ; node_modules;*.min.js;bin\\;;docs\\build\\;\\top\\;pic?.png");
  const std::tuple<const char*, bool, bool> cases[] = {  // path, folder, excluded
      {".git", true, true}, {"sub\\.GIT", true, true}, {".git", false, true}, {"a\\Node_Modules", true, true},
      {"x.MIN.JS", false, true}, {"x.js", false, false},
      {"a\\bin", true, true}, {"bin", false, false}, {"binary", true, false},  // "\" at the end: folders only
      {"docs\\build", true, true}, {"src\\docs\\build", true, false}, {"top", true, true}, {"a\\top", true, false},
      {"pic\xC3\xA9.png", false, true}, {"pic12.png", false, false}, {"", true, false},  // "?": one character
  };
  for (auto [path, folder, excluded] : cases) EXPECT_EQ(masks.Excludes(path, folder), excluded) << path;
  EXPECT_TRUE(ExclusionMasks(" ; ;\\").Empty());
  const std::tuple<const char*, const char*, bool> wildcards[] = {
      {"*", "", true}, {"a*b*c", "aXbYbZc", true}, {"*a", "aaa", true}, {"?", "", false}, {"a*b", "aXbY", false}};
  for (auto [mask, name, matches] : wildcards) EXPECT_EQ(MatchesMask(mask, name), matches) << mask << " " << name;
}

}  // namespace
}  // namespace varnex
