#include "framework/systemlibrary.h"

#include <gtest/gtest.h>

#include <winnetwk.h>

#include "framework/application.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::CurrentDirectoryKept;
using testing::TempFolder;

// Built beside the test programs (tests/support/planted_dll.cpp); it offers
// WNetGetConnectionA as mpr.dll does.
constexpr char kBesideProgram[] = "planted_dll.dll";
constexpr char kInCurrentFolder[] = "planted_in_current.dll";

TEST(SystemLibrary, FindsFunctionsOfTheSystemFolderAlone) {
  TempFolder folder;
  ASSERT_TRUE(CopyFileA((ProgramDirectory() + "\\" + kBesideProgram).c_str(), (folder / kInCurrentFolder).c_str(),
                        FALSE));
  const CurrentDirectoryKept inFolder(folder.Path());
  const struct {
    const char* library;
    const char* function;
    bool found;
  } cases[] = {
      {"mpr.dll", "WNetGetConnectionA", true},
      {"mpr.dll", "WNetGetConnectionB", false},
      {"varnex_nowhere.dll", "WNetGetConnectionA", false},
      {kBesideProgram, "WNetGetConnectionA", false},
      {kInCurrentFolder, "WNetGetConnectionA", false},
  };
  for (const auto& c : cases) {
    const SystemLibrary library(c.library);
    EXPECT_EQ(library.Find<decltype(WNetGetConnectionA)>(c.function) != nullptr, c.found)
        << c.library << " " << c.function;
  }
  // Where the ordinary search would have found them (without running them).
  for (const char* planted : {kBesideProgram, kInCurrentFolder}) {
    const UniqueHandle<ModuleTraits> module(LoadLibraryExA(planted, nullptr, DONT_RESOLVE_DLL_REFERENCES));
    EXPECT_TRUE(module) << planted;
  }
}

}  // namespace
}  // namespace varnex
