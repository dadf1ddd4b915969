#include "run/logfile.h"

#include <gtest/gtest.h>

#include "engine/error.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

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
  int tick = 0;
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
}

std::string Tick() { return "T"; }

constexpr std::string_view kNewLines =
    "T - Application Started\r\nT - a found in C:\\f.txt and replaced to b\r\nT - Application Closed\r\n";

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

}  // namespace
}  // namespace varnex
