#include "filelist/FileFind.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "engine/binaryfile.h"
#include "engine/error.h"
#include "framework/handle.h"
#include "framework/unicode.h"
#include "tests/support/names.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::TempFolder;
using testing::WriteFileBytes;
using Lines = std::vector<std::string>;

// Makes folders (ending in "\") and empty files below `root`, parents first.
void MakeTree(const std::string& root, std::initializer_list<std::string_view> paths) {
  for (std::string_view path : paths) {
    const std::string full = root + std::string(path);
    if (path.ends_with('\\')) {
      ASSERT_TRUE(CreateDirectoryW(WidePath(full).c_str(), nullptr)) << full;
    } else {
      WriteFileBytes(full, "");
    }
  }
}

// A scan's trace: "> " and the folder for each folder change, the relative path
// for each match, and "finish".
bool IsMatch(const std::string& line) { return !line.starts_with('>') && line != "finish"; }

// Within a folder the platform's listing order counts, which the tests do not
// fix: each run of matches between two folder changes is sorted.
Lines SortedWithinFolders(Lines trace) {
  auto run = trace.begin();
  while (run != trace.end()) {
    const auto end = std::find_if_not(run, trace.end(), IsMatch);
    std::sort(run, end);
    run = end == trace.end() ? end : end + 1;
  }
  return trace;
}

class FileSearch : public ::testing::Test {
 protected:
  FileSearch() {
    search.OnChangeFolder = [this](const std::string& fullpath, const TSearchRec&) {
      trace.push_back("> " + Relative(fullpath));
    };
    search.OnFileFind = [this](const std::string& fullpath, const TSearchRec& info) {
      trace.push_back(Relative(fullpath) + std::string(info.Name()));
    };
    search.OnFinish = [this](TFileSearch& sender) {
      EXPECT_EQ(&sender, &search);
      trace.push_back("finish");
    };
  }

  std::string Root() const { return folder.Path() + "\\"; }
  std::string Relative(const std::string& path) const {
    return path.starts_with(Root()) ? path.substr(Root().size()) : "?" + path;
  }
  Lines RelativeFilesFound() const {
    Lines found;
    for (const std::string& path : search.FilesFound()) found.push_back(Relative(path));
    return found;
  }
  // Every match's full path, in the order reported, is what FilesFound keeps.
  void ExpectFilesFoundAsReported() const {
    Lines reported;
    std::copy_if(trace.begin(), trace.end(), std::back_inserter(reported), IsMatch);
    EXPECT_EQ(RelativeFilesFound(), reported);
  }

  Lines Scan(const std::string& masks) {
    trace.clear();
    search.SearchFile = Root() + masks;
    search.Execute();
    return trace;
  }

  TempFolder folder;
  Lines trace;
  std::function<void()> onEvents = [] {};
  TFileSearch search{[this] { onEvents(); }};
};

TEST_F(FileSearch, ReportsEachFoldersMatchesBeforeItsSubfoldersOncePerMask) {
  MakeTree(Root(), {"a.txt", "b.log", " spaced.txt", "hidden.txt", "sub\\", "sub\\c.txt", "sub\\notes.txt\\",
                    "sub\\notes.txt\\inner.txt", "sub\\notes.txt\\inner.log"});
  ASSERT_TRUE(SetFileAttributesA((folder / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

  auto join = [](std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  };
  const Lines root = {"> ", " spaced.txt", "a.txt", "hidden.txt"};
  const Lines sub = {"> sub\\", "sub\\c.txt", "sub\\notes.txt"};
  const Lines notes = {"> sub\\notes.txt\\", "sub\\notes.txt\\inner.txt"};
  const Lines allText = join({root, sub, notes});
  const Lines noMatches = {"> ", "> sub\\", "> sub\\notes.txt\\"};
  const Lines finish = {"finish"};
  struct Case {
    std::string masks;
    bool recurse;
    Lines expected;
  };
  const Case cases[] = {
      // Hidden and system files count; a folder named like a file is a match and is walked.
      {"*.txt", true, join({allText, finish})},
      {"*.txt", false, join({root, finish})},
      // The whole tree once per mask; letter case does not matter.
      {"*.LOG;*.txt", true,
       join({{"> ", "b.log", "> sub\\", "> sub\\notes.txt\\", "sub\\notes.txt\\inner.log"}, allText, finish})},
      // A space after ";" is part of the mask.
      {"*.txt; *.txt", true, join({allText, {"> ", " spaced.txt", "> sub\\", "> sub\\notes.txt\\"}, finish})},
      // An empty mask matches nothing, but the tree is still walked.
      {"", true, join({noMatches, finish})},
      {"*.txt;;", true, join({allText, noMatches, finish})},
      // "." and ".." are never reported.
      {"*", true,
       join({{"> ", " spaced.txt", "a.txt", "b.log", "hidden.txt", "sub"},
             sub,
             {"> sub\\notes.txt\\", "sub\\notes.txt\\inner.log", "sub\\notes.txt\\inner.txt"},
             finish})},
      {"*.*", false, {"> ", " spaced.txt", "a.txt", "b.log", "hidden.txt", "sub", "finish"}},
      // A starting folder that is missing: only the folder changes and the end.
      {"missing\\*.txt;*.log", true, {"> missing\\", "> missing\\", "finish"}},
  };
  for (const Case& c : cases) {
    search.RecurseSubFolders = c.recurse;
    EXPECT_EQ(SortedWithinFolders(Scan(c.masks)), c.expected) << c.masks << (c.recurse ? " recursive" : "");
    ExpectFilesFoundAsReported();
  }
}

// Names in any script, paths past MAX_PATH; a folder that cannot be listed is
// told, once, and the rest of the tree is still walked.
TEST_F(FileSearch, ListsNamesInAnyScriptAndLongPathsAndTellsWhatItCouldNotList) {
  const std::vector<std::string> steps = testing::LongFolderSteps(Root() + "deep");
  std::string deep;  // relative to the root
  MakeTree(Root(), {"deep\\", "held\\", "held\\unseen.txt", "open\\"});
  for (const std::string& step : steps) {
    deep = step.substr(Root().size()) + "\\";
    MakeTree(Root(), {deep});
  }
  Lines expected;
  for (const std::string& name : testing::NamesInAnyScript()) {
    for (const std::string& at : {std::string(), deep, std::string("open\\")}) {
      MakeTree(Root(), {at + name});
      expected.push_back(at + name);
    }
  }
  ASSERT_GT(Wide(Root() + deep + testing::kEmojiName).size(), 300u);
  // Held by another program that lets no one else in.
  const FileHandle holder(CreateFileW(WidePath(folder / "held").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  ASSERT_TRUE(holder);

  // Two masks walk the tree twice; each folder is told once.
  Scan("*.txt;*.none;missing\\*.txt");
  Lines found = RelativeFilesFound();
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
  ExpectFilesFoundAsReported();
  EXPECT_EQ(search.NotListed(), (Lines{folder / "held\\", Root() + "missing\\"}));
  // A mask that takes every name lists each folder once, and tells the same.
  Scan("*.*");
  EXPECT_EQ(search.NotListed(), (Lines{folder / "held\\"}));

  search.SearchFile = folder / "open\\*.txt";  // each scan tells its own
  search.Execute();
  EXPECT_TRUE(search.NotListed().empty());
}

// Excluded folders are never entered (a held one would otherwise be told as
// unlisted); binary files are told by their first block.
TEST_F(FileSearch, LeavesOutExcludedFoldersUnenteredAndBinaryFiles) {
  using namespace std::string_literals;
  MakeTree(Root(), {".git\\", ".git\\config.txt", "src\\", "src\\node_modules\\", "src\\node_modules\\m.txt",
                    "src\\bin\\", "src\\bin.txt", "src\\a.min.txt", "src\\a.txt"});
  const std::pair<const char*, std::string> files[] = {
      {"early.txt", "\x7F" "ELF\2\1\1\0\0\0"s}, {"late.txt", std::string(kBinaryProbeSize, 'x') + "\0"s},
      {"marked.txt", "\xFF\xFEh\0i\0"s}, {"bare.txt", "h\0i\0"s}, {"empty.txt", ""}};
  for (const auto& [name, bytes] : files) WriteFileBytes(folder / name, bytes);
  const FileHandle holder(CreateFileW(WidePath(folder / "src\\node_modules").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  ASSERT_TRUE(holder);
  search.Exclude = ExclusionMasks(".GIT;node_modules;*.min.txt;bin\\");
  search.SkipBinaryFiles = true;
  for (const char* masks : {"*.txt", "*.*;*.txt"}) {
    Scan(masks);
    Lines found = RelativeFilesFound();
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    std::erase(found, "src");  // a folder, which "*.*" takes too
    EXPECT_EQ(found, (Lines{"bare.txt", "empty.txt", "late.txt", "marked.txt", "src\\a.txt", "src\\bin.txt"}))
        << masks;
    EXPECT_TRUE(search.NotListed().empty()) << masks;
    EXPECT_EQ(search.BinaryLeftOut(), 1) << masks;
    EXPECT_EQ(search.ExcludedFolders(), 3) << masks;
    EXPECT_EQ(search.ExcludedFiles(), 1) << masks;
  }
}

TEST_F(FileSearch, KeepsASearchTextLongerThan255Characters) {
  MakeTree(Root(), {"wanted.txt"});
  std::string masks;
  while (masks.size() < 300) masks += "nothing" + std::to_string(masks.size()) + ".txt;";
  Scan(masks + "wanted.txt");
  EXPECT_EQ(RelativeFilesFound(), Lines{"wanted.txt"});
}

TEST_F(FileSearch, FolderRecordsDescribeTheFoldersThemselves) {
  MakeTree(Root(), {"sub\\"});
  Lines names;
  search.OnChangeFolder = [&](const std::string&, const TSearchRec& info) { names.emplace_back(info.Name()); };
  Scan("*.txt;missing\\*.txt");
  const std::string own = folder.Path().substr(folder.Path().rfind('\\') + 1);
  EXPECT_EQ(names, (Lines{own, "sub", ""}));  // the missing folder's record is empty
}

TEST_F(FileSearch, KeepsNothingWithoutAMatchHandler) {
  MakeTree(Root(), {"a.txt", "sub\\", "sub\\b.txt"});
  search.OnFileFind = nullptr;
  EXPECT_EQ(Scan("*.txt"), (Lines{"> ", "> sub\\", "finish"}));
  EXPECT_TRUE(search.FilesFound().empty());
}

TEST_F(FileSearch, StopEndsEveryListingAndEachScanStartsAfresh) {
  MakeTree(Root(), {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt", "sub\\", "sub\\6.txt"});
  const auto reportAndStopAtThird = search.OnFileFind;
  search.OnFileFind = [&](const std::string& fullpath, const TSearchRec& info) {
    reportAndStopAtThird(fullpath, info);
    if (trace.size() == 4) search.Stop = true;
  };
  // The second pattern still starts, but ends at once.
  const Lines stopped = Scan("*.txt;*.txt");
  ASSERT_EQ(stopped.size(), 6u);
  EXPECT_EQ(stopped[0], "> ");
  EXPECT_EQ(Lines(stopped.begin() + 4, stopped.end()), (Lines{"> ", "finish"}));
  EXPECT_EQ(search.FilesFound().size(), 3u);
  ExpectFilesFoundAsReported();
  EXPECT_TRUE(search.NotListed().empty());  // stopped, not refused

  search.OnFileFind = reportAndStopAtThird;
  Scan("*.txt");
  EXPECT_FALSE(search.Stop);
  EXPECT_EQ(search.FilesFound().size(), 6u);

  // A stop button handled at an event-processing point: the listing ends at its
  // next check and the walk does not go down.
  onEvents = [this] { search.Stop = search.FilesFound().size() == 1; };
  const Lines clicked = Scan("*.txt");
  ASSERT_EQ(clicked.size(), 3u);
  EXPECT_EQ(clicked[2], "finish");
  EXPECT_EQ(search.FilesFound().size(), 1u);
}

TEST_F(FileSearch, AnErrorInAHandlerEndsTheScanWithoutFinishing) {
  MakeTree(Root(), {"1.txt", "2.txt", "sub\\", "sub\\3.txt"});
  int calls = 0;
  search.OnFileFind = [&](const std::string&, const TSearchRec&) {
    if (++calls == 2) throw Error("The file list cannot take another entry");
  };
  EXPECT_THROW(Scan("*.txt"), Error);
  EXPECT_EQ(trace, Lines{"> "});
  EXPECT_EQ(calls, 2);
  // Only the match its handler took is kept, not the one it refused.
  EXPECT_EQ(search.FilesFound().size(), 1u);

  // Nothing of the broken scan is left behind: the next one runs whole.
  search.OnFileFind = [](const std::string&, const TSearchRec&) {};
  Scan("*.txt");
  EXPECT_EQ(search.FilesFound().size(), 3u);
  EXPECT_EQ(trace.back(), "finish");
}

// Symbolic links to folders. Wine has none of its own, so there the link is a
// Linux one, made and removed through Wine's way out to Linux programs.
class FolderLinks {
 public:
  FolderLinks() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    unixName_ =
        reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, "wine_get_unix_file_name")));
  }
  ~FolderLinks() {
    for (auto link = made_.rbegin(); link != made_.rend(); ++link) {
      if (unixName_) {
        RunOnLinux("/bin/rm " + Quoted(UnixPath(*link)));
      } else {
        RemoveDirectoryA(link->c_str());
      }
      // The temporary folder's removal must not find it and walk through it.
      Await([&] { return !Exists(*link); });
    }
  }
  FolderLinks(const FolderLinks&) = delete;
  FolderLinks& operator=(const FolderLinks&) = delete;

  // False when the system would not make the link.
  bool Make(const std::string& link, const std::string& target) {
    if (unixName_) {
      RunOnLinux("/bin/ln -s " + Quoted(UnixPath(target)) + " " + Quoted(UnixPath(link)));
    } else {
      CreateSymbolicLinkA(link.c_str(), target.c_str(),
                          SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    }
    if (!Await([&] { return Exists(link); })) return false;
    made_.push_back(link);
    return true;
  }

 private:
  using UnixName = char* (*)(const WCHAR*);

  static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
  // A Linux program started from Wine runs on its own, without a process to wait for.
  template <class Condition>
  static bool Await(Condition condition) {
    for (int tries = 0; tries < 100; ++tries) {
      if (condition()) return true;
      Sleep(50);
    }
    return false;
  }
  static std::string Quoted(const std::string& text) { return '"' + text + '"'; }

  std::string UnixPath(const std::string& path) const {
    std::wstring wide(path.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    char* unix = unixName_(wide.c_str());
    const std::string result = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
  }

  static void RunOnLinux(const std::string& command) {
    std::string commandLine = "start.exe /unix " + command;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
      return;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }

  UnixName unixName_ = nullptr;
  std::vector<std::string> made_;
};

TEST_F(FileSearch, ListsButNeverReentersALinkBackToAFolderBeingWalked) {
  MakeTree(Root(), {"a\\", "a\\f.txt", "a\\b\\", "x\\", "x\\g.txt"});
  FolderLinks links;
  // One link loops back to the starting folder; two lead out of the walk to the
  // same folder, which is not an ancestor and so is walked through each.
  if (!links.Make(folder / "a\\b\\back.txt", folder / "a") || !links.Make(folder / "a\\b\\side.txt", folder / "x") ||
      !links.Make(folder / "a\\b\\more.txt", folder / "x"))
    GTEST_SKIP() << "no symbolic links to folders here";

  search.SearchFile = folder / "a\\*.txt";
  search.Execute();
  Lines found = RelativeFilesFound();
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (Lines{"a\\b\\back.txt", "a\\b\\more.txt", "a\\b\\more.txt\\g.txt", "a\\b\\side.txt",
                          "a\\b\\side.txt\\g.txt", "a\\f.txt"}));
  EXPECT_EQ(trace.back(), "finish");
}

}  // namespace
}  // namespace varnex
