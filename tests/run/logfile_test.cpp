#include "run/logfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include "engine/error.h"
#include "engine/textlines.h"
#include "framework/unicode.h"
#include "framework/wholefile.h"
#include "tests/support/failing_filesystem.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::Call;
using testing::FailingFileSystem;
using testing::Fault;
using testing::kEveryCall;
using testing::Leaves;
using testing::NamesIn;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

FileHandle OpenForWriting(const std::string& path) {
  return FileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                0, nullptr));
}

TEST(LogFile, LoadsWhatCanBeReadAndNothingElse) {
  TempFolder folder;
  LogFile missing(folder / "missing.log");
  EXPECT_FALSE(missing.Load().has_value());

  WriteFileBytes(folder / "a.log", std::string("one\r\ntwo\0three", 14));
  {
    LogFile present(folder / "a.log");
    EXPECT_EQ(present.Load(), std::string("one\r\ntwo\0three", 14));
  }

  // Another program writing the file keeps it from being read.
  FileHandle writer = OpenForWriting(folder / "a.log");
  ASSERT_TRUE(writer);
  LogFile locked(folder / "a.log");
  EXPECT_FALSE(locked.Load().has_value());
}

TEST(LogFile, NoOneWritesBetweenTheLoadAndTheFirstRewrite) {
  TempFolder folder;
  const std::string path = folder / "varnex.log";
  WriteFileBytes(path, "old\n");
  LogFile log(path);
  ASSERT_TRUE(log.Load().has_value());
  EXPECT_FALSE(OpenForWriting(path));
  log.Rewrite("old\r\nnew\r\n");
  EXPECT_TRUE(OpenForWriting(path));
  EXPECT_EQ(ReadFileBytes(path), "old\r\nnew\r\n");
}

TEST(LogFile, FailuresNameTheFile) {
  TempFolder folder;
  const std::string path = folder / "no folder\\varnex.log";
  LogFile log(path);
  try {
    log.Rewrite("x\r\n");
    FAIL() << "the rewrite should have failed";
  } catch (const Error& failure) {
    EXPECT_EQ(std::string(failure.what()), "Cannot create file " + path);
  }
  EXPECT_THROW(log.Append("x\r\n"), Error);
}

TEST(LogFile, TwoCopiesOfTheProgramKeepEachOthersLines) {
  TempFolder folder;
  const std::string path = folder / "varnex.log";
  LogFile firstFile(path), secondFile(path);
  std::atomic<int> tick = 0;
  auto clock = [&] { return "t" + std::to_string(++tick); };
  ActivityLog first(firstFile, clock), second(secondFile, clock);

  first.Open();
  second.Open();
  first.RecordReplacement("a", "C:\\1.txt", "b");
  second.RecordReplacement("c", "C:\\2.txt", "d");
  first.Close();
  second.Close();
  EXPECT_EQ(ReadFileBytes(path),
            "t1 - Application Started\r\n"
            "t2 - Application Started\r\n"
            "t3 - a found in C:\\1.txt and replaced to b\r\n"
            "t4 - c found in C:\\2.txt and replaced to d\r\n"
            "t5 - Application Closed\r\n"
            "t6 - Application Closed\r\n");
  // Appending at the same moment, each through a handle of its own as two
  // processes would: no line is lost, none is written into another.
  const auto append = [](LogFile* file, ActivityLog* log) {
    const LogFile::Held run(*file);
    for (int line = 0; line < 2000; ++line) log->RecordReplacement("a", "C:\\1.txt", "b");
  };
  std::thread other(append, &secondFile, &second);
  append(&firstFile, &first);
  other.join();
  const std::string bytes = ReadFileBytes(path);
  const std::vector<std::string_view> lines = SplitLines(bytes);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](std::string_view line) { return line.ends_with(" - a found in C:\\1.txt and replaced to b"); }),
            1 + 4000);
}

// During a run the log is opened once for all its lines; each line is on disk
// as soon as it is added, another copy's lines go beside them, a failed write
// is not held on to, and the end of the run lets go of the file.
TEST(LogFile, AHeldLogIsOpenedOnceForAllItsAppends) {
  TempFolder folder;
  const std::string path = folder / "varnex.log";
  FailingFileSystem files({{Call::kWrite, 4, 1, ERROR_DISK_FULL}});
  int opens = 0;
  files.beforeOpen = [&](const std::string&, DWORD) { ++opens; };
  LogFile file(path, files), other(path);
  int tick = 0;
  ActivityLog log(file, [&] { return "t" + std::to_string(++tick); }), otherLog(other, [] { return "o"; });
  log.Open();
  otherLog.Open();
  const int opensBefore = opens;
  std::string expected = "t1 - Application Started\r\no - Application Started\r\n";
  {
    const LogFile::Held held(file);
    log.RecordReplacement("a", "C:\\1.txt", "b");
    expected += "t2 - a found in C:\\1.txt and replaced to b\r\n";
    EXPECT_EQ(ReadFileBytes(path), expected);
    otherLog.RecordReplacement("c", "C:\\2.txt", "d");
    expected += "o - c found in C:\\2.txt and replaced to d\r\n";
    log.RecordReplacement("e", "C:\\3.txt", "f");
    expected += "t3 - e found in C:\\3.txt and replaced to f\r\n";
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_EQ(opens - opensBefore, 1);
    // The fourth write, this line's, fails; the next line opens the file again.
    EXPECT_THROW(log.RecordReplacement("g", "C:\\4.txt", "h"), Error);
    log.RecordReplacement("i", "C:\\5.txt", "j");
    expected += "t4 - g found in C:\\4.txt and replaced to h\r\nt5 - i found in C:\\5.txt and replaced to j\r\n";
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_EQ(opens - opensBefore, 2);
    // Held, the log cannot be had alone.
    EXPECT_FALSE(FileHandle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
  }
  EXPECT_TRUE(FileHandle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
  log.Close();
  EXPECT_EQ(opens - opensBefore, 3);
  EXPECT_EQ(ReadFileBytes(path), expected + "t6 - Application Closed\r\n");
}

// A log that one copy of the program cannot rewrite (to it, read-only) is not
// kept locked against the others for the rest of its session.
TEST(LogFile, ALogThatCannotBeRewrittenStaysOpenToOtherCopies) {
  TempFolder folder;
  const std::string path = folder / "varnex.log";
  WriteFileBytes(path, "old\r\n");
  FailingFileSystem refusing({{Call::kReplace, 1, kEveryCall, ERROR_ACCESS_DENIED}});
  LogFile firstFile(path, refusing), secondFile(path);
  ActivityLog first(firstFile, [] { return std::string("t1"); }), second(secondFile, [] { return std::string("t2"); });
  EXPECT_THROW(first.Open(), Error);
  EXPECT_NO_THROW(second.Open());
  EXPECT_EQ(ReadFileBytes(path), "old\r\nt2 - Application Started\r\n");
}

std::string Tick() { return "T"; }

constexpr std::string_view kNewLines =
    "T - Application Started\r\nT - a found in C:\\f.txt and replaced to b\r\nT - Application Closed\r\n";

// A replace text no ANSI code page holds all of.
const std::string kAnyScript = "\u041E\u0442\u0447\u0451\u0442 \u65E5\u672C\u8A9E \U0001F600";

std::string NewLines(const std::string& replace) {
  return "T - Application Started\r\nT - a found in C:\\f.txt and replaced to " + replace +
         "\r\nT - Application Closed\r\n";
}

// The log's text from either of its forms.
std::string TextOf(const std::string& bytes) {
  return bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : FromAnsi(bytes);
}

std::vector<std::string> Lines(std::string_view bytes) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(bytes)) lines.emplace_back(line);
  return lines;
}

// Nothing that was on disk is lost: the old bytes are still there as they
// were, or (after the first save's rewrite) the old lines are. While the load
// still holds the log, no one can have written it: then it cannot be read here
// either, which `whileHeld` allows.
void ExpectKept(const std::string& path, const std::optional<std::string>& old, bool whileHeld = false) {
  if (!old) return;
  const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file && whileHeld && GetLastError() == ERROR_SHARING_VIOLATION) return;
  std::string bytes;
  ASSERT_TRUE(file && ReadWholeFile(file.Get(), bytes)) << "the log is gone";
  const std::string now = TextOf(bytes), was = TextOf(*old);
  if (now.starts_with(was)) return;
  const std::vector<std::string> oldLines = Lines(was), lines = Lines(now);
  EXPECT_TRUE(lines.size() >= oldLines.size() && std::equal(oldLines.begin(), oldLines.end(), lines.begin()))
      << "the log lost lines: " << now;
}

// A start, one changed file and a close, each save allowed to fail; the log is
// checked after each and once the program has let go of it.
void RunSession(FileSystem& files, const std::string& path, const std::optional<std::string>& old,
                const std::string& replace) {
  {
    LogFile file(path, files);
    ActivityLog log(file, Tick);
    const std::function<void()> steps[] = {[&] { log.Open(); },
                                           [&] { log.RecordReplacement("a", "C:\\f.txt", replace); },
                                           [&] { log.Close(); }};
    for (const auto& step : steps) {
      try {
        step();
      } catch (const Error& failure) {
        EXPECT_EQ(std::string(failure.what()), "Cannot create file " + path);
      }
      ExpectKept(path, old, true);
    }
  }
  ExpectKept(path, old);
}

// The log keeps its ANSI bytes while every line fits the code page. The first
// line that does not turns the whole file into UTF-8 with its mark, every
// earlier line kept, whichever copy of the program, held or not, writes it;
// from then on every copy writes UTF-8, as every start reads it.
TEST(LogFile, ALogGoesOverToUtf8WholeAtItsFirstLineOutsideTheCodePage) {
  TempFolder folder;
  const std::string path = folder / "varnex.log";
  const std::string old = "old caf\xE9\r\n";
  WriteFileBytes(path, old);
  LogFile firstFile(path), secondFile(path);
  std::atomic<int> tick = 0;
  auto clock = [&] { return "t" + std::to_string(++tick); };
  ActivityLog first(firstFile, clock), second(secondFile, clock);
  first.Open();
  second.Open();
  first.RecordReplacement("caf\xC3\xA9", "C:\\1.txt", "tea");
  std::string expected = old + "t1 - Application Started\r\nt2 - Application Started\r\n"
                               "t3 - caf\xE9 found in C:\\1.txt and replaced to tea\r\n";
  EXPECT_EQ(ReadFileBytes(path), expected);

  {
    const LogFile::Held held(firstFile);
    first.RecordReplacement("a", "C:\\2.txt", "b");
    first.RecordReplacement("a", "C:\\" + kAnyScript + ".txt", "b");
    first.RecordReplacement("a", "C:\\3.txt", "\xC3\xA0 la");
  }
  second.RecordReplacement("a", "C:\\4.txt", "\xC3\xA0 la");
  second.Close();
  expected = "\xEF\xBB\xBF" + TextOf(expected) + "t4 - a found in C:\\2.txt and replaced to b\r\n"
             "t5 - a found in C:\\" + kAnyScript + ".txt and replaced to b\r\n"
             "t6 - a found in C:\\3.txt and replaced to \xC3\xA0 la\r\n"
             "t7 - a found in C:\\4.txt and replaced to \xC3\xA0 la\r\n"
             "t8 - Application Closed\r\n";
  EXPECT_EQ(ReadFileBytes(path), expected);

  LogFile nextFile(path);
  ActivityLog next(nextFile, clock);
  next.Open();
  EXPECT_EQ(next.Lines()[0], "old caf\xC3\xA9");
  EXPECT_EQ(next.Lines()[5], "t5 - a found in C:\\" + kAnyScript + ".txt and replaced to b");
  EXPECT_EQ(ReadFileBytes(path), expected + "t9 - Application Started\r\n");
  EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"varnex.log"});

  // Once UTF-8, always: a start's rewrite keeps the form whatever the lines.
  const std::string utf8Only = "\xEF\xBB\xBFold caf\xC3\xA9\r\n";
  WriteFileBytes(path, utf8Only);
  LogFile laterFile(path);
  ActivityLog later(laterFile, clock);
  later.Open();
  EXPECT_EQ(ReadFileBytes(path), utf8Only + "t10 - Application Started\r\n");
}

TEST(LogFile, ALogWithANulIsAppendedToAtEveryStep) {
  TempFolder folder;
  const std::string path = folder / "varnex.log";
  const std::string old("before\r\n\0binary\r\nend", 20);
  WriteFileBytes(path, old);
  LogFile file(path);
  ActivityLog log(file, Tick);
  EXPECT_NO_THROW(log.Open());
  EXPECT_NO_THROW(log.RecordReplacement("a", "C:\\f.txt", "b"));
  EXPECT_NO_THROW(log.Close());
  EXPECT_EQ(ReadFileBytes(path), old + "\r\n" + std::string(kNewLines));
}

TEST(LogFile, ALogHeldForAMomentAtStartIsWaitedFor) {
  TempFolder folder;
  const std::string path = folder / "varnex.log";
  WriteFileBytes(path, "old one\r\nold two\r\n");
  // Another copy of the program holds the log while it rewrites it.
  FileHandle held(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  std::thread otherCopy([&held] {
    Sleep(200);
    held.Reset();
  });
  LogFile file(path);
  ActivityLog log(file, Tick);
  EXPECT_NO_THROW(log.Open());
  otherCopy.join();
  log.RecordReplacement("a", "C:\\f.txt", "b");
  log.Close();
  EXPECT_EQ(ReadFileBytes(path), "old one\r\nold two\r\n" + std::string(kNewLines));
}

TEST(LogFile, ALogThatCannotBeReadAtStartIsOnlyAppendedTo) {
  TempFolder folder;
  const std::string path = folder / "varnex.log";
  const std::string old = "old one\nold two\n";  // a rewrite would give it CR LF
  WriteFileBytes(path, old);
  FileHandle held(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  FailingFileSystem files;
  // Held throughout the load, let go before the first save.
  files.beforeOpen = [&](const std::string&, DWORD access) {
    if (access & FILE_WRITE_DATA) held.Reset();
  };
  LogFile file(path, files);
  ActivityLog log(file, Tick);
  EXPECT_NO_THROW(log.Open());
  EXPECT_GT(files.Pauses(), 0);
  log.RecordReplacement("a", "C:\\f.txt", "b");
  log.Close();
  EXPECT_EQ(ReadFileBytes(path), old + std::string(kNewLines));
}

TEST(LogFile, EachStepFailingKeepsEveryLineOnDisk) {
  const struct {
    const char* what;
    std::vector<Fault> faults;
    bool openFails;
  } cases[] = {
      {"the log cannot be read", {{Call::kRead, 1, 1, ERROR_READ_FAULT}}, false},
      {"the disk fills in the middle of the first save",
       {{Call::kWrite, 1, kEveryCall, ERROR_DISK_FULL, Leaves::kAsItWas, true}}, true},
      {"the new log cannot be flushed", {{Call::kFlush, 1, 1, ERROR_DISK_FULL}}, true},
      {"no new log can be made", {{Call::kOpen, 2, 1, ERROR_ACCESS_DENIED}}, true},
      {"ERROR_UNABLE_TO_REMOVE_REPLACED", {{Call::kReplace, 1, 1, ERROR_UNABLE_TO_REMOVE_REPLACED}}, true},
      {"ERROR_UNABLE_TO_MOVE_REPLACEMENT",
       {{Call::kReplace, 1, 1, ERROR_UNABLE_TO_MOVE_REPLACEMENT, Leaves::kOriginalAtBackup}}, false},
      {"ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, the new log never moving",
       {{Call::kReplace, 1, 1, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, Leaves::kOriginalAtBackup},
        {Call::kMove, 1, kEveryCall, ERROR_ACCESS_DENIED, Leaves::kAsItWas, false, testing::Of::kReplacement}},
       true},
      {"another copy appending during the replace", {{Call::kReplace, 1, 3, ERROR_SHARING_VIOLATION}}, false},
      {"the log is read-only", {{Call::kReplace, 1, kEveryCall, ERROR_ACCESS_DENIED}}, true},
      {"the disk fills in the middle of an append",
       {{Call::kWrite, 2, kEveryCall, ERROR_DISK_FULL, Leaves::kAsItWas, true}}, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    TempFolder folder;
    const std::string path = folder / "varnex.log";
    const std::string old = "old one\r\nold two\r\n";
    WriteFileBytes(path, old);
    FailingFileSystem files(test.faults);
    {
      LogFile file(path, files);
      ActivityLog log(file, Tick);
      if (test.openFails) {
        EXPECT_THROW(log.Open(), Error);
      } else {
        EXPECT_NO_THROW(log.Open());
      }
      ExpectKept(path, old, true);
      try {
        log.RecordReplacement("a", "C:\\f.txt", "b");
        log.Close();
      } catch (const Error&) {
      }
    }
    EXPECT_TRUE(files.Fired());
    ExpectKept(path, old);
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"varnex.log"});
  }
}

// Every call of the load, the first save and the appends in turn fails, once
// or from then on: no line already on disk is ever lost, and a single failure
// costs no line either, as the next save makes up for it.
TEST(LogFile, EveryCallFailingInTurnKeepsEveryLineOnDisk) {
  const struct {
    const char* what;
    std::optional<std::string> bytes;
  } oldLogs[] = {
      {"a log", "old one\r\nold two\r\n"},
      {"a log in another shape", "old one\nold two"},
      {"a log with a NUL", std::string("old one\r\n\0junk\r\n", 16)},
      {"no log", std::nullopt},
  };
  // The first line outside the code page turns the log into UTF-8 at an append.
  for (const auto& [oldLog, replace] :
       {std::pair{oldLogs[0], std::string("b")}, {oldLogs[1], "b"}, {oldLogs[2], "b"}, {oldLogs[3], "b"},
        {oldLogs[0], kAnyScript}, {oldLogs[2], kAnyScript}}) {
    int calls;
    int callsBeforeClose;
    {
      TempFolder folder;
      const std::string path = folder / "varnex.log";
      if (oldLog.bytes) WriteFileBytes(path, *oldLog.bytes);
      FailingFileSystem counting;
      LogFile file(path, counting);
      ActivityLog log(file, Tick);
      log.Open();
      log.RecordReplacement("a", "C:\\f.txt", replace);
      callsBeforeClose = counting.Calls();
      log.Close();
      calls = counting.Calls();
      EXPECT_TRUE(TextOf(ReadFileBytes(path)).ends_with(NewLines(replace)));
    }
    for (int call = 1; call <= calls; ++call) {
      for (const int times : {1, kEveryCall}) {
        SCOPED_TRACE(std::string(oldLog.what) + ", call " + std::to_string(call) +
                     (times == 1 ? " fails once" : " and all after it fail") + ", replaced to " + replace);
        TempFolder folder;
        const std::string path = folder / "varnex.log";
        if (oldLog.bytes) WriteFileBytes(path, *oldLog.bytes);
        FailingFileSystem files({{Call::kAny, call, times}});
        RunSession(files, path, oldLog.bytes, replace);
        if (times == 1) {
          if (call <= callsBeforeClose) {
            EXPECT_TRUE(TextOf(ReadFileBytes(path)).ends_with(NewLines(replace)));
          }
          EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"varnex.log"});
        }
      }
    }
  }
}

// The first save's new log beside the old one fits wherever the log does.
TEST(LogFile, ALogInTheLongestFoldersIsRewritten) {
  TempFolder base;
  for (const std::size_t length : {246u, 247u, 248u}) {
    const std::string folder = base.Path() + "\\" + std::string(length - base.Path().size() - 1, 'd');
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + std::wstring(folder.begin(), folder.end())).c_str(), nullptr));
    const std::string path = folder + "\\varnex.log";
    SCOPED_TRACE(path.size());
    WriteFileBytes(path, "old\n");
    FailingFileSystem files;  // held to Windows' limit
    LogFile file(path, files);
    ActivityLog log(file, Tick);
    EXPECT_NO_THROW(log.Open());
    EXPECT_EQ(ReadFileBytes(path), "old\r\nT - Application Started\r\n");
    EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"varnex.log"});
  }
}

}  // namespace
}  // namespace varnex
