#include "engine/dynvars.h"

#include <gtest/gtest.h>

#include "engine/paths.h"
#include "engine/replace.h"
#include "tests/support/names.h"

namespace varnex {
namespace {

using testing::U8;

TEST(PathRules, SplitPathsAsWindowsDoes) {
  struct Case {
    const char* path;
    const char* dir;
    const char* name;
    const char* ext;
    const char* base;
  };
  const Case cases[] = {
      {"C:\\docs\\report.txt", "C:\\docs", "report.txt", "txt", "report"},
      {"C:\\report.txt", "C:\\", "report.txt", "txt", "report"},
      {"\\\\server\\share\\a.txt", "\\\\server\\share", "a.txt", "txt", "a"},
      {"\\\\server\\share\\a.b.c", "\\\\server\\share", "a.b.c", "c", "a.b"},
      {"C:\\dir.d\\README", "C:\\dir.d", "README", "", "README"},
      {"C:\\x\\archive.tar.gz", "C:\\x", "archive.tar.gz", "gz", "archive.tar"},
      {"C:\\x\\notes.", "C:\\x", "notes.", "", "notes."},
      {"C:\\x\\.profile", "C:\\x", ".profile", "profile", ""},
      {"C:\\x\\.c", "C:\\x", ".c", "c", ""},
      {"C:\\x\\a.", "C:\\x", "a.", "", "a."},
      {"C:\\x\\a.b.", "C:\\x", "a.b.", "", "a"},
      {"C:\\x\\a..", "C:\\x", "a..", "", "a"},
      {"C:\\x\\a. b", "C:\\x", "a. b", "b", "a"},
      {"C:x", "C:", "x", "", "x"},
      {"\\top.txt", "\\", "top.txt", "txt", "top"},
      {"C:\\a\\\\b.txt", "C:\\a\\\\", "b.txt", "txt", "b"},
      {"plain", "", "plain", "", "plain"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractFileDir(c.path), c.dir) << c.path;
    EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
    EXPECT_EQ(FileExt(ExtractFileExt(c.path)), c.ext) << c.path;
    EXPECT_EQ(BaseName(c.path), c.base) << c.path;
  }
  EXPECT_EQ(FileExt(".\t\x01 x y"), "x y");
  EXPECT_EQ(FileExt(""), "");
}

struct CaseOnly : ReplaceContext {
  bool caseSensitive = false;
  bool CaseSensitive() override { return caseSensitive; }
  void ProcessPendingEvents() override {}
  void TextChanged(std::string_view, std::string_view) override { ADD_FAILURE() << "expansion must not log"; }
};

std::string Expand(std::string text, std::string_view path, bool caseSensitive) {
  CaseOnly context;
  context.caseSensitive = caseSensitive;
  return ExpandDynamicVariables(std::move(text), path,
                                [&](std::string_view t, std::string_view name, std::string_view value) {
                                  return ReplaceOccurrences(t, name, value, false, context);
                                });
}

TEST(DynamicVariables, ExpandInOrderThroughTheReplacementRoutine) {
  struct Case {
    const char* text;
    const char* path;
    bool caseSensitive;
    const char* expected;
  };
  const Case cases[] = {
      {"$fullfilename|$filedir|$fileext|$filename|$file", "C:\\docs\\report.txt", true,
       "C:\\docs\\report.txt|C:\\docs|txt|report.txt|report"},
      {"$filenames", "C:\\docs\\report.txt", true, "report.txts"},
      {"$file.bak", "C:\\docs\\report.txt", true, "report.bak"},
      {"$File", "C:\\docs\\report.txt", true, "$File"},
      {"$File $FILENAME", "C:\\docs\\report.txt", false, "report report.txt"},
      {"[$fileext]", "C:\\dir.d\\README", true, "[]"},
      {"$filedir", "C:\\report.txt", true, "C:\\"},
      // Values are not protected: a value that holds a variable's name is
      // expanded by the steps after its own, and only by those, which shows
      // the order $fullfilename, $filedir, $fileext, $filename, $file.
      {"$filedir", "C:\\$file\\a.txt", true, "C:\\a"},
      {"$filedir", "C:\\$fullfilename\\a.txt", true, "C:\\$fullfilename"},
      {"$fullfilename", "C:\\$filedir\\a.txt", true, "C:\\C:\\adir\\a.txt"},
      {"$fileext", "C:\\d\\a.$filedir", true, "adir"},
      {"$filedir", "C:\\$fileext\\a.txt", true, "C:\\txt"},
      {"$filename", "C:\\d\\$fileext", true, "$fileextext"},
      {"$fileext", "C:\\d\\a.$filename", true, "a.aname"},
      {"literal text", "C:\\a.txt", true, "literal text"},
      // Names in any script, UTF-8 as every path inside the program: split at
      // the same bytes, whatever the text around the variables.
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.text, c.path, c.caseSensitive), c.expected) << c.text;
  // Names in any script, UTF-8 as every path inside the program: split at
  // the same bytes, whatever the text around the variables.
  const std::string folder = U8(u8"C:\\Отчёт\\");
  for (const std::string& name : testing::NamesInAnyScript()) {
    const std::string base = name.substr(0, name.size() - 4);
    EXPECT_EQ(Expand(U8(u8"«$filedir|$FILENAME|$File|$fileext»"), folder + name, false),
              U8(u8"«C:\\Отчёт|") + name + "|" + base + U8(u8"|txt»"));
  }
  EXPECT_EQ(Expand("$file $fileext", U8(u8"C:\\d\\日本語.テキスト"), true), U8(u8"日本語 テキスト"));
}

}  // namespace
}  // namespace varnex
