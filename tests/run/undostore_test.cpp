// How the undo store keeps a big file's original from the file itself, where
// the runs of the main window's tests cannot lead it: a volume that allows no
// second name, and originals that change or cannot be read as they are kept.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "engine/error.h"
#include "run/targetfile.h"
#include "run/undostore.h"
#include "tests/run/failing_filesystem.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::Call;
using testing::Fault;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

// Numbered lines of text after `name`, at least `size` bytes of them.
std::string Lines(std::string_view name, std::size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) text += std::string(name) + " line " + std::to_string(line) + "\r\n";
  return text;
}

class UndoKeeping : public ::testing::Test {
 protected:
  // The store on a volume that allows no second name, with `faults` besides.
  void Start(std::vector<Fault> faults = {}) {
    faults.push_back({Call::kLink, 1, testing::kEveryCall});
    files.emplace(faults);
    store.emplace(std::vector<std::string>{undoFolder}, *files);
    recording.emplace(store.value(), [] { return std::string("T"); },
                      [this](const std::string& message) { reports.push_back(message); });
  }
  std::string File(const std::string& name, const std::string& bytes) {
    const std::string path = folder / name;
    WriteFileBytes(path, bytes);
    before[path] = bytes;
    return path;
  }
  // What a run does for a file too big to hold its original in memory.
  void KeepFromFileAndWrite(const std::string& path) {
    const TargetFile file = ReadTargetFile(path);
    const std::string written = "new " + file.bytes;
    recording->KeepFromFile(path, file.stamp, written);
    RewriteTargetFile(path, file.stamp, written);
    recording->Written(path);
  }
  UndoStore::Outcome Restore() {
    recording.reset();  // the run is over
    return store->Restore(undoFolder, store->Load(undoFolder), [](const std::string&) {});
  }

  testing::TempFolder folder;
  const std::string undoFolder = folder / "undo";
  std::optional<testing::FailingFileSystem> files;
  std::optional<UndoStore> store;
  std::optional<UndoRecording> recording;
  std::vector<std::string> reports;
  std::map<std::string, std::string> before;
};

TEST_F(UndoKeeping, WhereNoSecondNameIsAllowedABigOriginalIsCopiedFromTheFileIntoThePack) {
  Start();
  const std::string small = File("small.txt", "small abc\r\n");
  const std::string first = File("first.txt", Lines("first", 5 << 20));
  const std::string second = File("second.txt", Lines("second", 1 << 20));
  ASSERT_TRUE(UndoRecording::TakesFromFile(before[first].size()));
  ASSERT_FALSE(UndoRecording::TakesFromFile(before[small].size()));

  recording->Keep(small, before[small], "x");
  RewriteTargetFile(small, ReadTargetFile(small).stamp, "x");
  recording->Written(small);
  KeepFromFileAndWrite(first);
  KeepFromFileAndWrite(second);
  EXPECT_EQ(testing::NamesIn(undoFolder), (std::vector<std::string>{"journal.txt", "originals.dat"}));

  const UndoStore::Outcome outcome = Restore();
  EXPECT_EQ(outcome.restored, (std::vector<std::string>{small, first, second}));
  for (const auto& [path, bytes] : before) EXPECT_EQ(ReadFileBytes(path), bytes) << path;
  EXPECT_TRUE(reports.empty());
}

// Such a file is refused, as its rewrite would refuse it, and not written; the
// files after it are kept as ever.
TEST_F(UndoKeeping, ABigOriginalChangedOrUnreadableAsItIsKeptLeavesItsFileAsItIs) {
  // The store reads an original in pieces of 4 MiB: the second piece fails.
  Start({{Call::kRead, 2, 1, ERROR_READ_FAULT}});
  const std::string unreadable = File("unreadable.txt", Lines("unreadable", 5 << 20));
  const std::string changed = File("changed.txt", Lines("changed", 2 << 20));
  const std::string kept = File("kept.txt", Lines("kept", 2 << 20));

  const TargetFile read = ReadTargetFile(unreadable);
  EXPECT_THROW(recording->KeepFromFile(unreadable, read.stamp, "new"), Error);
  const TargetFile older = ReadTargetFile(changed);
  WriteFileBytes(changed, before[changed] + "saved by another program\r\n");
  before[changed] = ReadFileBytes(changed);
  EXPECT_THROW(recording->KeepFromFile(changed, older.stamp, "new"), Error);
  KeepFromFileAndWrite(kept);

  const UndoStore::Outcome outcome = Restore();
  EXPECT_EQ(outcome.restored, std::vector<std::string>{kept});
  EXPECT_TRUE(outcome.leftAlone.empty());
  for (const auto& [path, bytes] : before) EXPECT_EQ(ReadFileBytes(path), bytes) << path;
  EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace varnex
