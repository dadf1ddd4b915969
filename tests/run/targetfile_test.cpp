#include "run/targetfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "engine/error.h"
#include "engine/paths.h"
#include "framework/safereplace.h"
#include "framework/unicode.h"
#include "tests/support/failing_filesystem.h"
#include "tests/support/forwarding_filesystem.h"
#include "tests/support/names.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::Call;
using testing::FailingFileSystem;
using testing::Fault;
using testing::kEveryCall;
using testing::Leaves;
using testing::NamesIn;
using testing::Of;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

constexpr std::string_view kOriginal = "one\r\ntwo\r\n";
constexpr std::string_view kNewText = "ONE, longer now\r\ntwo\r\n";

struct Outcome {
  bool written = false;
  std::string error;
};

// What a batch run does with a changed file.
Outcome ReadAndRewrite(FileSystem& files, const std::string& path, bool backUp, const TemporaryRecord& record = nullptr) {
  try {
    const TargetFile file = ReadTargetFile(path, files);
    if (backUp) BackUpTargetFile(path, file.stamp, files);
    RewriteTargetFile(path, file.stamp, kNewText, files, false, record);
    return {true, {}};
  } catch (const Error& failure) {
    return {false, failure.what()};
  }
}

// The path holds the whole new text exactly when the file counts as written,
// else the original, with the run's own message; a backup holds the original.
void ExpectOriginalOrNewText(const std::string& path, const Outcome& outcome) {
  EXPECT_EQ(ReadFileBytes(path), outcome.written ? kNewText : kOriginal);
  if (!outcome.written) {
    EXPECT_EQ(outcome.error, "Cannot open file " + path);
  }
  if (GetFileAttributesA((path + ".bak").c_str()) != INVALID_FILE_ATTRIBUTES) {
    EXPECT_EQ(ReadFileBytes(path + ".bak"), kOriginal);
  }
}

// Nothing of the run's own beside the file: no temporary file, no backup that
// ReplaceFileA made on the way.
void ExpectNothingLeftBehind(const TempFolder& folder, bool backUp) {
  for (const std::string& name : NamesIn(folder.Path())) {
    EXPECT_TRUE(name == "a.txt" || (backUp && name == "a.txt.bak")) << name << " was left behind";
  }
}

TEST(TargetFile, EachStepFailingLeavesTheOriginalOrTheNewText) {
  constexpr DWORD kMovedNot = ERROR_UNABLE_TO_MOVE_REPLACEMENT;
  constexpr DWORD kMovedNot2 = ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
  // Opens, in order: the read, the backup's check (with a backup), the new
  // file, the check before the replace. Stamps: the read, the backup's check,
  // the new file's, the check before the replace.
  const struct {
    const char* what;
    std::vector<Fault> faults;
    bool backUp;
    bool written;
  } cases[] = {
      {"the file is held when it is to be read", {{Call::kOpen, 1, 1, ERROR_SHARING_VIOLATION}}, false, false},
      {"reading fails", {{Call::kRead, 1, 1, ERROR_READ_FAULT}}, false, false},
      {"the size cannot be had", {{Call::kSize}}, false, false},
      {"the stamp cannot be taken", {{Call::kStamp}}, false, false},
      {"the backup's check cannot open the file", {{Call::kOpen, 2}}, true, false},
      {"the backup's check cannot stamp the file", {{Call::kStamp, 2}}, true, false},
      {"the backup copy fails", {{Call::kCopy, 1, 1, ERROR_DISK_FULL}}, true, false},
      {"the file is held when it is to be replaced", {{Call::kOpen, 3, 2, ERROR_SHARING_VIOLATION}}, false, false},
      {"the file is held for a moment when it is to be replaced", {{Call::kOpen, 3, 1, ERROR_SHARING_VIOLATION}},
       false, true},
      {"the file is read-only", {{Call::kOpen, 3, 1, ERROR_ACCESS_DENIED}}, false, false},
      {"no new file can be made", {{Call::kOpen, 2, 1, ERROR_ACCESS_DENIED}}, false, false},
      {"the disk fills in the middle of the write",
       {{Call::kWrite, 1, kEveryCall, ERROR_DISK_FULL, Leaves::kAsItWas, true}}, false, false},
      {"the disk is full from the first byte", {{Call::kWrite, 1, kEveryCall, ERROR_DISK_FULL}}, false, false},
      {"the new file cannot be flushed to the disk", {{Call::kFlush, 1, 1, ERROR_DISK_FULL}}, false, false},
      {"the new file, not to be looked up, refused once when it is removed",
       {{Call::kFlush}, {Call::kRemove}, {Call::kAttributes, 1, kEveryCall}}, false, false},
      {"the new file cannot be stamped", {{Call::kStamp, 2}}, false, false},
      {"the check before the replace cannot stamp the file", {{Call::kStamp, 3}}, false, false},
      {"ERROR_UNABLE_TO_REMOVE_REPLACED", {{Call::kReplace, 1, 1, ERROR_UNABLE_TO_REMOVE_REPLACED}}, false, false},
      {"ERROR_UNABLE_TO_MOVE_REPLACEMENT: original moved to the backup name, new text under its own",
       {{Call::kReplace, 1, 1, kMovedNot, Leaves::kOriginalAtBackup}}, false, true},
      {"ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the same state",
       {{Call::kReplace, 1, 1, kMovedNot2, Leaves::kOriginalAtBackup}}, false, true},
      {"ERROR_UNABLE_TO_MOVE_REPLACEMENT with every name as it was",
       {{Call::kReplace, 1, 1, kMovedNot, Leaves::kAsItWas}}, false, false},
      {"ERROR_UNABLE_TO_MOVE_REPLACEMENT after a backup copy",
       {{Call::kReplace, 1, 1, kMovedNot, Leaves::kOriginalAtBackup}}, true, true},
      {"ERROR_UNABLE_TO_MOVE_REPLACEMENT, the new text moving in at the third try",
       {{Call::kReplace, 1, 1, kMovedNot, Leaves::kOriginalAtBackup},
        {Call::kMove, 1, 2, ERROR_SHARING_VIOLATION, Leaves::kAsItWas, false, Of::kReplacement}},
       false, true},
      {"ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, the new text never moving: the original goes back",
       {{Call::kReplace, 1, 1, kMovedNot2, Leaves::kOriginalAtBackup},
        {Call::kMove, 1, kEveryCall, ERROR_ACCESS_DENIED, Leaves::kAsItWas, false, Of::kReplacement}},
       false, false},
      {"ERROR_UNABLE_TO_MOVE_REPLACEMENT, the original going back at the second try",
       {{Call::kReplace, 1, 1, kMovedNot, Leaves::kOriginalAtBackup},
        {Call::kMove, 1, kEveryCall, ERROR_ACCESS_DENIED, Leaves::kAsItWas, false, Of::kReplacement},
        {Call::kMove, 1, 1, ERROR_SHARING_VIOLATION, Leaves::kAsItWas, false, Of::kBackup}},
       false, false},
      {"ERROR_UNABLE_TO_REMOVE_REPLACED, the new file then not to be looked up",
       {{Call::kReplace, 1, 1, ERROR_UNABLE_TO_REMOVE_REPLACED},
        {Call::kAttributes, 1, kEveryCall, ERROR_ACCESS_DENIED, Leaves::kAsItWas, false, Of::kReplacement}},
       false, false},
      {"a failure reported after the replace was done",
       {{Call::kReplace, 1, 1, ERROR_UNABLE_TO_REMOVE_REPLACED, Leaves::kReplacementInPlace}}, false, true},
      {"the new file removed by another program before the replace",
       {{Call::kReplace, 1, 1, ERROR_FILE_NOT_FOUND, Leaves::kReplacementGone}}, false, false},
      {"the new file removed after ReplaceFileA moved the original aside",
       {{Call::kReplace, 1, 1, kMovedNot, Leaves::kOriginalAtBackup},
        {Call::kMove, 1, 1, ERROR_FILE_NOT_FOUND, Leaves::kReplacementGone, false, Of::kReplacement}},
       false, false},
      {"access denied", {{Call::kReplace, 1, 1, ERROR_ACCESS_DENIED}}, false, false},
      {"a sharing violation for a moment", {{Call::kReplace, 1, 3, ERROR_SHARING_VIOLATION}}, false, true},
      {"a sharing violation throughout", {{Call::kReplace, 1, kEveryCall, ERROR_SHARING_VIOLATION}}, false, false},
      {"no ReplaceFileA on this file system", {{Call::kReplace, 1, kEveryCall, ERROR_NOT_SUPPORTED}}, false, true},
      {"no ReplaceFileA: ERROR_INVALID_FUNCTION", {{Call::kReplace, 1, kEveryCall, ERROR_INVALID_FUNCTION}}, false,
       true},
      {"no ReplaceFileA: ERROR_CALL_NOT_IMPLEMENTED", {{Call::kReplace, 1, kEveryCall, ERROR_CALL_NOT_IMPLEMENTED}},
       false, true},
      {"no ReplaceFileA and no move either",
       {{Call::kReplace, 1, kEveryCall, ERROR_INVALID_FUNCTION}, {Call::kMove, 1, kEveryCall}}, false, false},
      {"the moved-aside original held for a moment", {{Call::kRemove, 1, 2, ERROR_SHARING_VIOLATION}}, false, true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    TempFolder folder;
    const std::string path = folder / "a.txt";
    WriteFileBytes(path, kOriginal);
    FailingFileSystem files(test.faults);
    const Outcome outcome = ReadAndRewrite(files, path, test.backUp);
    EXPECT_TRUE(files.Fired());
    EXPECT_EQ(outcome.written, test.written) << outcome.error;
    ExpectOriginalOrNewText(path, outcome);
    ExpectNothingLeftBehind(folder, test.backUp);
  }
}

// Every call of the protocol in turn fails, once or from then on: whatever
// the error, the path never ends without the original or the whole new text.
TEST(TargetFile, EveryCallFailingInTurnLeavesTheOriginalOrTheNewText) {
  for (const bool replaceKeepsMore : {true, false})
  for (const bool backUp : {false, true}) {
    int calls;
    {
      TempFolder folder;
      WriteFileBytes(folder / "a.txt", kOriginal);
      FailingFileSystem counting;
      counting.replaceKeepsMore = replaceKeepsMore;
      ASSERT_TRUE(ReadAndRewrite(counting, folder / "a.txt", backUp).written);
      calls = counting.Calls();
    }
    for (int call = 1; call <= calls; ++call) {
      for (const int times : {1, kEveryCall}) {
        SCOPED_TRACE("call " + std::to_string(call) + (times == 1 ? " fails once" : " and all after it fail") +
                     (backUp ? ", with a backup" : "") + (replaceKeepsMore ? "" : ", by a rename"));
        TempFolder folder;
        const std::string path = folder / "a.txt";
        WriteFileBytes(path, kOriginal);
        FailingFileSystem files({{Call::kAny, call, times}});
        files.replaceKeepsMore = replaceKeepsMore;
        const Outcome outcome = ReadAndRewrite(files, path, backUp);
        ExpectOriginalOrNewText(path, outcome);
        // Once nothing can be removed any more, a file of ours may stay.
        if (times == 1) ExpectNothingLeftBehind(folder, backUp);
      }
    }
  }
}

// Where ReplaceFileA would keep no more than a rename, one rename over the
// original does its work; the steps only it takes fail as safely.
TEST(TargetFile, TheRenameStepsFailingLeaveTheOriginalOrTheNewText) {
  const struct {
    const char* what;
    std::vector<Fault> faults;
    bool written;
  } cases[] = {
      {"the original's attributes cannot be read", {{Call::kBasicInfo}}, false},
      {"the new file's attributes cannot be set", {{Call::kSetBasicInfo, 1, 1, ERROR_DISK_FULL}}, false},
      {"the rename meets a sharing violation for a moment", {{Call::kMove, 1, 3, ERROR_SHARING_VIOLATION}}, true},
      {"the rename meets a sharing violation throughout", {{Call::kMove, 1, kEveryCall, ERROR_SHARING_VIOLATION}}, false},
      {"the rename is refused", {{Call::kMove, 1, 1, ERROR_ACCESS_DENIED}}, false},
      {"the rename is done and reported as failed", {{Call::kMove, 1, 1, ERROR_ACCESS_DENIED, Leaves::kReplacementInPlace}},
       true},
      {"the new file removed by another program before the rename",
       {{Call::kMove, 1, 1, ERROR_FILE_NOT_FOUND, Leaves::kReplacementGone}}, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    TempFolder folder;
    const std::string path = folder / "a.txt";
    WriteFileBytes(path, kOriginal);
    FailingFileSystem files(test.faults);
    files.replaceKeepsMore = false;
    const Outcome outcome = ReadAndRewrite(files, path, false);
    EXPECT_TRUE(files.Fired());
    EXPECT_EQ(outcome.written, test.written) << outcome.error;
    ExpectOriginalOrNewText(path, outcome);
    ExpectNothingLeftBehind(folder, false);
  }
}

// What ReplaceFileA keeps of the original, a user would miss: its attributes
// and its creation time (the new text brings its own last write). A read-only
// file is refused. Both through the rename and through the system's own way;
// where a file system keeps no creation time (Wine's on Linux), the rename
// still hands the original's on.
TEST(TargetFile, TheRewrittenFileKeepsItsAttributesAndCreationTime) {
  FailingFileSystem renaming;
  renaming.replaceKeepsMore = false;
  const FILETIME created{0x12345678, 0x01D00000}, written{0x12345678, 0x01D10000};
  for (FileSystem* files : {static_cast<FileSystem*>(&renaming), &SystemFileSystem()}) {
    SCOPED_TRACE(files == &renaming ? "by a rename" : "as the system does");
    TempFolder folder;
    const std::string path = folder / "a.txt";
    WriteFileBytes(path, kOriginal);
    const DWORD attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
    {
      const FileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(SetFileTime(file.Get(), &created, nullptr, &written));
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
    const bool keepsCreationTimes = CompareFileTime(&data.ftCreationTime, &created) == 0;
    const FILETIME before = data.ftCreationTime;
    const Outcome outcome = ReadAndRewrite(*files, path, false);
    ASSERT_TRUE(outcome.written) << outcome.error;
    EXPECT_EQ(ReadFileBytes(path), kNewText);
    ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.dwFileAttributes, attributes);
    if (keepsCreationTimes) {
      EXPECT_EQ(CompareFileTime(&data.ftCreationTime, &created), 0);
    }
    EXPECT_GT(CompareFileTime(&data.ftLastWriteTime, &written), 0);
    if (files == &renaming) {
      ASSERT_EQ(renaming.basicInfoSet.size(), 1u);
      const FILE_BASIC_INFO& carried = renaming.basicInfoSet[0];
      EXPECT_EQ(carried.CreationTime.LowPart, before.dwLowDateTime);
      EXPECT_EQ(static_cast<DWORD>(carried.CreationTime.HighPart), before.dwHighDateTime);
      EXPECT_EQ(carried.FileAttributes, attributes);
      // Every other time as the new text left it.
      EXPECT_EQ(carried.LastWriteTime.QuadPart, 0);
      EXPECT_EQ(carried.ChangeTime.QuadPart, 0);
    }
    ExpectNothingLeftBehind(folder, false);

    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const Outcome refused = ReadAndRewrite(*files, path, false);
    EXPECT_FALSE(refused.written);
    EXPECT_EQ(refused.error, "Cannot open file " + path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(path), kNewText);
  }
}

// The new file is ours; what the user set on the original must come over to
// it where the run moves it into place by hand. (ReplaceFileA is left out:
// Windows' keeps the attributes, Wine's drops them. Of hidden and system, Wine
// keeps only the system attribute on disk.)
TEST(TargetFile, TheNewTextKeepsTheOriginalsAttributes) {
  constexpr DWORD kSet = FILE_ATTRIBUTE_SYSTEM;
  const struct {
    const char* way;
    std::vector<Fault> faults;
  } ways[] = {
      {"a plain move where there is no ReplaceFileA", {{Call::kReplace, 1, kEveryCall, ERROR_NOT_SUPPORTED}}},
      {"a move after ReplaceFileA moved the original aside",
       {{Call::kReplace, 1, 1, ERROR_UNABLE_TO_MOVE_REPLACEMENT, Leaves::kOriginalAtBackup}}},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.way);
    TempFolder folder;
    const std::string path = folder / "a.txt";
    WriteFileBytes(path, kOriginal);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), kSet));
    ASSERT_EQ(GetFileAttributesA(path.c_str()) & kSet, kSet);
    FailingFileSystem files(way.faults);
    const Outcome outcome = ReadAndRewrite(files, path, false);
    EXPECT_TRUE(outcome.written) << outcome.error;
    EXPECT_EQ(ReadFileBytes(path), kNewText);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & kSet, kSet);
    ExpectNothingLeftBehind(folder, false);
  }
}

TEST(TargetFile, WhereNeitherFileCanBeMovedBackBothAreKept) {
  TempFolder folder;
  const std::string path = folder / "a.txt";
  WriteFileBytes(path, kOriginal);
  FailingFileSystem files({{Call::kReplace, 1, 1, ERROR_UNABLE_TO_MOVE_REPLACEMENT, Leaves::kOriginalAtBackup},
                           {Call::kMove, 1, kEveryCall, ERROR_ACCESS_DENIED}});
  const Outcome outcome = ReadAndRewrite(files, path, false);
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.error, "Cannot open file " + path);
  // The only copies: the original under ReplaceFileA's backup name, the new
  // text under its own.
  std::vector<std::string> kept;
  for (const std::string& name : NamesIn(folder.Path())) kept.push_back(ReadFileBytes(folder / name));
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(kept, (std::vector<std::string>{std::string(kNewText), std::string(kOriginal)}));
}

// Another program's save between the read and the writing wins: the file is
// refused, whether it was saved with other bytes, only touched, or put in
// place as a new file of the same size and time.
TEST(TargetFile, AFileChangedSinceItWasReadIsLeftAsTheOtherProgramSavedIt) {
  const auto openShared = [](const std::string& path, DWORD access, DWORD disposition) {
    return FileHandle(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  disposition, 0, nullptr));
  };
  const auto lastWrite = [&](const std::string& path) {
    FILETIME time{};
    GetFileTime(openShared(path, GENERIC_READ, OPEN_EXISTING).Get(), nullptr, nullptr, &time);
    return time;
  };
  const struct {
    const char* what;
    std::string_view after;  // what the file holds once the other program is done
    std::function<bool(const std::string&)> change;
  } changes[] = {
      {"saved with other text", "changed elsewhere\r\n",
       [&](const std::string& path) {
         const FileHandle file = openShared(path, GENERIC_WRITE, TRUNCATE_EXISTING);
         DWORD written;
         return file && WriteFile(file.Get(), "changed elsewhere\r\n", 19, &written, nullptr);
       }},
      {"touched", kOriginal,
       [&](const std::string& path) {
         FILETIME time = lastWrite(path);
         time.dwHighDateTime += 1;
         return SetFileTime(openShared(path, FILE_WRITE_ATTRIBUTES, OPEN_EXISTING).Get(), nullptr, nullptr, &time) != 0;
       }},
      {"swapped for a file of the same size and time", "ONE\r\ntwo\r\n",
       [&](const std::string& path) {
         const std::string other = path + ".new";
         WriteFileBytes(other, "ONE\r\ntwo\r\n");
         const FILETIME time = lastWrite(path);
         SetFileTime(openShared(other, FILE_WRITE_ATTRIBUTES, OPEN_EXISTING).Get(), nullptr, nullptr, &time);
         return MoveFileExA(other.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
       }},
  };
  enum class When { kBeforeTheBackup, kBeforeTheRewrite, kWhileTheNewTextIsWritten, kWhileTheRenameWaits };
  for (const bool replaceKeepsMore : {true, false})
  for (const auto& change : changes) {
    for (const When when : {When::kBeforeTheBackup, When::kBeforeTheRewrite, When::kWhileTheNewTextIsWritten,
                            When::kWhileTheRenameWaits}) {
      SCOPED_TRACE(std::string(change.what) + " " + std::to_string(static_cast<int>(when)) +
                   (replaceKeepsMore ? "" : ", by a rename"));
      TempFolder folder;
      const std::string path = folder / "a.txt";
      WriteFileBytes(path, kOriginal);
      FailingFileSystem files;
      files.replaceKeepsMore = replaceKeepsMore;
      const TargetFile read = ReadTargetFile(path, files);
      EXPECT_EQ(read.bytes, kOriginal);
      bool changed = false;
      if (when == When::kWhileTheNewTextIsWritten) {
        files.beforeOpen = [&](const std::string& opened, DWORD access) {
          if ((access & GENERIC_WRITE) && opened.ends_with(".tmp") && !changed) changed = change.change(path);
        };
      } else if (when == When::kWhileTheRenameWaits) {
        // The program that held the file saves it as it lets go.
        files.Add({replaceKeepsMore ? Call::kReplace : Call::kMove, 1, 1, ERROR_SHARING_VIOLATION});
        files.beforeOpen = [&](const std::string&, DWORD) {
          if (files.Fired() && !changed) changed = change.change(path);
        };
      } else {
        changed = change.change(path);
      }
      Outcome outcome{true, {}};
      try {
        if (when == When::kBeforeTheBackup) BackUpTargetFile(path, read.stamp, files);
        RewriteTargetFile(path, read.stamp, kNewText, files);
      } catch (const Error& failure) {
        outcome = {false, failure.what()};
      }
      ASSERT_TRUE(changed);
      EXPECT_FALSE(outcome.written);
      EXPECT_EQ(outcome.error, "Cannot open file " + path);
      EXPECT_EQ(ReadFileBytes(path), change.after);
      EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"a.txt"});
    }
  }
}

// A name of ours is made new, never taken over: another program's file, or
// another copy's new file, may sit at any name a moment before ReplaceFileA
// would move the original there.
TEST(TargetFile, NamesOfOursNeverTakeAnotherFilesPlace) {
  TempFolder folder;
  const std::string path = folder / "a.txt";
  WriteFileBytes(path, kOriginal);
  FailingFileSystem files;
  std::vector<std::string> others;
  std::vector<std::string> recorded;  // before a new file is made, taken back where another's is there
  const TemporaryRecord record = [&](const std::string& name, bool ours) {
    if (ours) return recorded.push_back(name);
    std::erase(recorded, name);
  };
  // As the new file is made, its name and those after it are taken.
  files.beforeOpen = [&](const std::string& opened, DWORD) {
    const std::string name(ExtractFileName(opened));
    EXPECT_TRUE(!name.ends_with(".tmp") || (!recorded.empty() && recorded.back() == opened)) << opened;
    if (!others.empty() || !name.starts_with("~vnx") || !name.ends_with(".tmp")) return;
    const unsigned number = std::stoul(name.substr(4, 4), nullptr, 16);
    for (unsigned next = number; next <= number + 8; ++next) {
      char taken[16];
      for (const char* extension : {".tmp", ".old"}) {
        std::snprintf(taken, sizeof taken, "~vnx%04x%s", next & 0xFFFF, extension);
        others.push_back(folder / taken);
        WriteFileBytes(others.back(), "someone else's");
      }
    }
  };
  const Outcome outcome = ReadAndRewrite(files, path, false, record);
  EXPECT_TRUE(outcome.written) << outcome.error;
  EXPECT_EQ(ReadFileBytes(path), kNewText);
  EXPECT_EQ(recorded.size(), 1u);
  ASSERT_FALSE(others.empty());
  for (const std::string& other : others) EXPECT_EQ(ReadFileBytes(other), "someone else's") << other;
  EXPECT_EQ(NamesIn(folder.Path()).size(), others.size() + 1);
}

// What a run ended by force left under a name it recorded goes: only names of
// the kind it makes, and only those nobody has open. The original may be the
// only copy under ReplaceFileA's backup name.
TEST(TargetFile, LeftoversOfAnInterruptedRunAreRemovedUnlessInUse) {
  TempFolder folder;
  const std::vector<std::string> removed = {"~vnx1a2b.tmp", "~VNX00FF.TMP", "~1a2b", "f"};
  const std::vector<std::string> kept = {"~vnx1a2b.old", "~vnx12345.tmp", "~vnx1a2.tmp", "~vnxabcg.tmp",
                                         "x~vnx1234.tmp", "~vnx1234.tmp.txt", "~1a2bcdefghi", "a.txt",
                                         "~vnxbeef.tmp", "~vnxcafe.tmp", "~vnx9999.tmp"};
  for (const std::string& name : removed) WriteFileBytes(folder / name, "left");
  for (const std::string& name : kept) {
    if (name == "~vnx9999.tmp") {
      ASSERT_TRUE(CreateDirectoryA((folder / name).c_str(), nullptr));
    } else {
      WriteFileBytes(folder / name, "kept");
    }
  }
  // Another copy of the program writing its new file, and a reader.
  FileHandle writing(CreateFileA((folder / "~vnxbeef.tmp").c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
  FileHandle reading(CreateFileA((folder / "~vnxcafe.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writing && reading);

  FailingFileSystem files;
  for (const std::vector<std::string>* names : {&removed, &kept}) {
    for (const std::string& name : *names) RemoveLeftoverTemporary(files, folder / name);
  }
  // Nor are they to go once their holders let go.
  writing.Reset();
  reading.Reset();
  std::vector<std::string> expected = kept;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(NamesIn(folder.Path()), expected);
}

// Every file that can be read can be written, in folders past MAX_PATH and by
// names in any script, whichever way the new file takes the old one's place.
TEST(TargetFile, FilesInFoldersPastMaxPathCanBeRewritten) {
  TempFolder base;
  const std::vector<std::string> steps = testing::LongFolderSteps(base.Path());
  for (const std::string& step : steps) ASSERT_TRUE(CreateDirectoryW(WidePath(step).c_str(), nullptr));
  const std::string& folder = steps.back();
  for (const std::string& name : testing::NamesInAnyScript()) {
    const std::string path = folder + "\\" + name;
    for (const bool replaceKeepsMore : {true, false}) {
      WriteFileBytes(path, kOriginal);
      FailingFileSystem files;
      files.replaceKeepsMore = replaceKeepsMore;
      const Outcome outcome = ReadAndRewrite(files, path, false);
      EXPECT_TRUE(outcome.written) << outcome.error;
      EXPECT_EQ(ReadFileBytes(path), kNewText);
      EXPECT_EQ(NamesIn(folder), std::vector<std::string>{name});
      ASSERT_TRUE(DeleteFileW(WidePath(path).c_str()));
    }
  }

  // Nearer Windows' limit than Wine can go, the new file's name is only asked
  // for: as short as the room the folder leaves, and never longer.
  struct NamesAsked : testing::ForwardingFileSystem {
    FileHandle Open(const std::string& path, DWORD, DWORD, DWORD, DWORD) override {
      asked = path;
      SetLastError(ERROR_ACCESS_DENIED);
      return FileHandle();
    }
    std::string asked;
  };
  for (std::size_t room = 9; room <= 13; ++room) {
    const std::string longest = "C:\\" + std::string(32767 - 8 - 4 - room, 'f') + "\\";
    NamesAsked files;
    std::string created;
    EXPECT_FALSE(CreateFileBeside(files, longest + "a.txt", created));
    ASSERT_EQ(files.asked.substr(0, longest.size()), longest);
    EXPECT_LE(files.asked.size() - longest.size(), room);
    EXPECT_EQ(files.asked.substr(longest.size(), 4) == "~vnx", room >= 12) << files.asked.substr(longest.size());
  }
}

}  // namespace
}  // namespace varnex
