#include "run/readahead.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "engine/error.h"
#include "tests/support/forwarding_filesystem.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

// The system's calls, with a hook on every open and every read (from
// whichever thread).
class WatchedFileSystem final : public testing::ForwardingFileSystem {
 public:
  std::function<void(const std::string& path)> beforeOpen;
  std::function<void(const std::string& path)> beforeRead;

  FileHandle Open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
    if (beforeOpen) beforeOpen(path);
    FileHandle file = ForwardingFileSystem::Open(path, access, share, disposition, flags);
    const std::lock_guard lock(mutex_);
    opened_[file.Get()] = path;
    return file;
  }
  bool Read(HANDLE file, void* buffer, DWORD size, DWORD& read) override {
    if (beforeRead) {
      std::unique_lock lock(mutex_);
      const std::string path = opened_[file];
      lock.unlock();
      beforeRead(path);
    }
    return ForwardingFileSystem::Read(file, buffer, size, read);
  }

 private:
  std::mutex mutex_;
  std::map<HANDLE, std::string> opened_;  // handles are used again once closed: the latest open counts
};

// An event the test waits on; the wait is bounded only so that a broken
// read-ahead fails the test rather than hanging it.
class Signal {
 public:
  Signal() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Signal() { CloseHandle(event_); }
  Signal(const Signal&) = delete;
  Signal& operator=(const Signal&) = delete;
  void Set() { SetEvent(event_); }
  bool Wait() { return WaitForSingleObject(event_, 60000) == WAIT_OBJECT_0; }

 private:
  HANDLE event_;
};

// What the run would have read in each file's turn: its bytes, or its error.
std::string ReadNow(const std::string& path) {
  try {
    return ReadTargetFile(path).bytes;
  } catch (const Error& failure) {
    return failure.what();
  }
}

std::string Taken(ReadAhead& ahead, std::size_t index) {
  try {
    return ahead.Take(index).bytes;
  } catch (const Error& failure) {
    return failure.what();
  }
}

// Every entry comes out as a read in its turn gives it, whatever the thread
// managed meanwhile: missing files, a folder, a binary file, a file listed
// twice, files too large to read ahead, entries passed over, and lists that
// hold more bytes or files than may be read ahead.
TEST(ReadAhead, HandsOutEveryFileAsAReadInItsTurnWould) {
  TempFolder folder;
  std::vector<std::string> paths;
  for (int i = 0; i < 40; ++i) {
    const std::string path = folder / ("f" + std::to_string(i) + ".txt");
    switch (i % 8) {
      case 3: break;  // missing
      case 5: WriteFileBytes(path, std::string(3000 + i, 'b')); break;  // over the largest read ahead
      case 6: WriteFileBytes(path, std::string("bin\0ary", 7)); break;
      default: WriteFileBytes(path, "text " + std::to_string(i) + "\r\n"); break;
    }
    paths.push_back(path);
  }
  paths.push_back(folder.Path());
  paths.push_back(paths[1]);
  const ReadAhead::Limits tight{4, 4000, 2000};
  for (const std::size_t step : {1, 3}) {
    SCOPED_TRACE("every " + std::to_string(step) + " entries");
    ReadAhead ahead(paths, std::vector<bool>(paths.size(), true), tight);
    for (std::size_t index = 0; index < paths.size(); index += step) {
      EXPECT_EQ(Taken(ahead, index), ReadNow(paths[index])) << index;
    }
  }
  // Stopped early: the thread ends with the run.
  ReadAhead stopped(paths, std::vector<bool>(paths.size(), true), tight);
  EXPECT_EQ(Taken(stopped, 0), ReadNow(paths[0]));
}

// The thread is held at the third file, so the second has surely been read
// ahead; then it is changed.
class ReadAheadOvertaken : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
      paths.push_back(folder / name);
      WriteFileBytes(paths.back(), std::string("old ") + name);
    }
    files.beforeOpen = [this](const std::string& path) {
      {
        const std::lock_guard lock(mutex);
        ++opens[path];
      }
      if (path != paths[2]) return;
      atThird.Set();
      go.Wait();
    };
    files.beforeRead = [this](const std::string& path) {
      const std::lock_guard lock(mutex);
      ++reads[path];
    };
  }
  void TearDown() override { go.Set(); }
  int Opens(const std::string& path) {
    const std::lock_guard lock(mutex);
    return opens[path];
  }
  int Reads(const std::string& path) {
    const std::lock_guard lock(mutex);
    return reads[path];
  }

  TempFolder folder;
  std::vector<std::string> paths;
  WatchedFileSystem files;
  Signal atThird, go;
  std::mutex mutex;
  std::map<std::string, int> opens, reads;
};

// An entry the run may write before its turn is left to the run: the
// thread's read would hold it for that moment.
TEST_F(ReadAheadOvertaken, AnEntryNotToBeReadAheadIsReadOnlyInItsTurn) {
  ReadAhead ahead(paths, {true, false, true}, ReadAhead::Limits(), files);
  ASSERT_TRUE(atThird.Wait());
  EXPECT_EQ(Opens(paths[1]), 0);
  EXPECT_EQ(ahead.Take(0).bytes, "old a.txt");
  EXPECT_EQ(ahead.Take(1).bytes, "old b.txt");
  EXPECT_EQ(Opens(paths[1]), 1);
  go.Set();
  EXPECT_EQ(ahead.Take(2).bytes, "old c.txt");
}

// A file that an earlier entry names too, by another name (its short name
// here), is read only in its turn: the run may write it before then, and the
// thread's read would keep the run out meanwhile.
TEST_F(ReadAheadOvertaken, AFileAnEarlierEntryNamesTooIsReadOnlyInItsTurn) {
  paths[0] = folder / "a longer name.txt";
  WriteFileBytes(paths[0], "old a");
  char shortName[MAX_PATH];
  ASSERT_NE(GetShortPathNameA(paths[0].c_str(), shortName, MAX_PATH), 0u);
  paths[1] = shortName;
  if (paths[1] == paths[0]) GTEST_SKIP() << "no short names on this volume";
  ReadAhead ahead(paths, files);
  ASSERT_TRUE(atThird.Wait());
  EXPECT_EQ(Reads(paths[1]), 0);
  const TargetFile first = ahead.Take(0);
  ahead.Writing(first.stamp.index);
  RewriteTargetFile(paths[0], first.stamp, "new a", files);
  ahead.RunWrote();
  EXPECT_EQ(ahead.Take(1).bytes, "new a");
  go.Set();
  EXPECT_EQ(ahead.Take(2).bytes, "old c.txt");
}

// A file the thread met first by another name than the run's (the run read
// its entry in its turn, after the thread had begun): the run's write waits
// for the thread's read to end rather than fail on it.
TEST(ReadAhead, TheRunWaitsToWriteAFileTheThreadIsReadingUnderAnotherName) {
  TempFolder folder;
  const std::string longer = folder / "a longer name.txt";
  WriteFileBytes(longer, "old");
  char shortName[MAX_PATH];
  ASSERT_NE(GetShortPathNameA(longer.c_str(), shortName, MAX_PATH), 0u);
  if (shortName == longer) GTEST_SKIP() << "no short names on this volume";
  const std::vector<std::string> paths = {longer, shortName};
  WatchedFileSystem files;
  Signal reading, go;
  files.beforeRead = [&](const std::string& path) {
    if (path != paths[1]) return;
    reading.Set();
    go.Wait();
  };
  ReadAhead ahead(paths, {false, true}, ReadAhead::Limits(), files);
  ASSERT_TRUE(reading.Wait());
  const TargetFile first = ahead.Take(0);
  std::thread letGo([&] {
    Sleep(200);
    go.Set();
  });
  ahead.Writing(first.stamp.index);
  EXPECT_NO_THROW(RewriteTargetFile(longer, first.stamp, "new", files));
  letGo.join();
  EXPECT_EQ(ReadFileBytes(longer), "new");
}

// The run's own writes (a backup, the log, a file listed under another name)
// may change a file read ahead: after them, it is read again if it changed.
TEST_F(ReadAheadOvertaken, AFileTheRunMayHaveWrittenIsReadAgainIfItChanged) {
  ReadAhead ahead(paths, files);
  ASSERT_TRUE(atThird.Wait());
  EXPECT_EQ(ahead.Take(0).bytes, "old a.txt");
  WriteFileBytes(paths[1], "new b.txt, longer");
  ahead.RunWrote();
  EXPECT_EQ(ahead.Take(1).bytes, "new b.txt, longer");
  go.Set();
  EXPECT_EQ(ahead.Take(2).bytes, "old c.txt");
}

// Another program's save after the read ahead is the same race as a save
// after a read in the file's turn: the stamp of the read refuses the write.
TEST_F(ReadAheadOvertaken, AFileSavedElsewhereAfterItWasReadIsRefusedAtTheWrite) {
  ReadAhead ahead(paths, files);
  ASSERT_TRUE(atThird.Wait());
  WriteFileBytes(paths[1], "saved elsewhere");
  const TargetFile read = ahead.Take(1);
  EXPECT_EQ(read.bytes, "old b.txt");
  EXPECT_THROW(RewriteTargetFile(paths[1], read.stamp, "replaced"), Error);
  EXPECT_EQ(ReadFileBytes(paths[1]), "saved elsewhere");
  go.Set();
}

}  // namespace
}  // namespace varnex
