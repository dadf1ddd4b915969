#include "run/targetfile.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/error.h"
#include "tests/run/failing_filesystem.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::FailingFileSystem;
using testing::NamesIn;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

constexpr std::string_view kOriginal = "one\r\ntwo\r\n";
constexpr std::string_view kNewText = "ONE, longer now\r\ntwo\r\n";

struct Outcome {
  bool written = false;
  std::string error;
};

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
  enum class When { kBeforeTheBackup, kBeforeTheRewrite, kWhileTheNewTextIsWritten };
  for (const auto& change : changes) {
    for (const When when : {When::kBeforeTheBackup, When::kBeforeTheRewrite, When::kWhileTheNewTextIsWritten}) {
      SCOPED_TRACE(std::string(change.what) + " " + std::to_string(static_cast<int>(when)));
      TempFolder folder;
      const std::string path = folder / "a.txt";
      WriteFileBytes(path, kOriginal);
      FailingFileSystem files;
      const TargetFile read = ReadTargetFile(path, files);
      EXPECT_EQ(read.bytes, kOriginal);
      bool changed = false;
      if (when == When::kWhileTheNewTextIsWritten) {
        // The new file is the only one opened for writing alone.
        files.beforeOpen = [&](DWORD access) {
          if (access == GENERIC_WRITE && !changed) changed = change.change(path);
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
      const bool swapped = change.after == "ONE\r\ntwo\r\n";
      if (when == When::kWhileTheNewTextIsWritten && swapped) {
        // The run holds the file while it writes: no other can take its place.
        EXPECT_FALSE(changed);
        EXPECT_TRUE(outcome.written);
        continue;
      }
      ASSERT_TRUE(changed);
      EXPECT_FALSE(outcome.written);
      EXPECT_EQ(outcome.error, "Cannot open file " + path);
      EXPECT_EQ(ReadFileBytes(path), change.after);
      EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"a.txt"});
    }
  }
}

}  // namespace
}  // namespace varnex
