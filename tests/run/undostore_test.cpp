// The undo store where the main window's runs cannot lead it: a volume that
// allows no second name, originals that change or cannot be read as they are
// kept, two copies of the program sharing one store folder, and files that
// cannot be given back when the undo comes.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "engine/contenthash.h"
#include "engine/error.h"
#include "engine/stronghash.h"
#include "run/targetfile.h"
#include "run/undorecording.h"
#include "run/undostore.h"
#include "tests/support/failing_filesystem.h"
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

// Undo Last Run's side of the window: the files restored, and a stop after
// `stopAfter` of them.
class Host final : public UndoHost {
 public:
  void Restored(const std::string& path) override { restored.push_back(path); }
  void ProcessPendingEvents() override {}
  void FileDone(int done) override { done_ = done; }
  bool StopRequested() override { return done_ == stopAfter; }

  std::vector<std::string> restored;
  int stopAfter = -1;

 private:
  int done_ = 0;
};

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
    OriginalHash original(*files, path, file.stamp);
    recording->KeepFromFile(path, file.stamp, written, original);
    RewriteTargetFile(path, file.stamp, written, SystemFileSystem(), false, nullptr, file.names);
    recording->Written(path);
  }
  UndoStore::Outcome Restore() {
    recording.reset();  // the run is over
    UndoStore::Choice choice = store->HoldRunToUndo();
    Host host;
    return store->Restore(choice, host);
  }
  // The one store the run made.
  std::string StoreFolder() {
    const std::vector<std::string> names = testing::NamesIn(undoFolder);
    EXPECT_EQ(names.size(), 1u);
    return names.empty() ? "" : undoFolder + "\\" + names[0];
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
  EXPECT_EQ(testing::NamesIn(StoreFolder()), (std::vector<std::string>{"journal.txt", "originals.dat"}));

  const UndoStore::Outcome outcome = Restore();
  EXPECT_EQ(outcome.restored, (std::vector<std::string>{small, first, second}));
  for (const auto& [path, bytes] : before) EXPECT_EQ(ReadFileBytes(path), bytes) << path;
  EXPECT_TRUE(reports.empty());
}

// Such a file is refused, as its rewrite would refuse it, and not written; the
// files after it are kept as ever.
TEST_F(UndoKeeping, ABigOriginalChangedOrUnreadableAsItIsKeptLeavesItsFileAsItIs) {
  // An original is read in pieces of 4 MiB, for its hash and then into the
  // pack: the copy's second piece fails, after the first went in.
  Start({{Call::kRead, 4, 1, ERROR_READ_FAULT}});
  const std::string unreadable = File("unreadable.txt", Lines("unreadable", 5 << 20));
  const std::string changed = File("changed.txt", Lines("changed", 2 << 20));
  const std::string kept = File("kept.txt", Lines("kept", 2 << 20));

  const TargetFile read = ReadTargetFile(unreadable);
  OriginalHash unread(*files, unreadable, read.stamp);
  EXPECT_THROW(recording->KeepFromFile(unreadable, read.stamp, "new", unread), Error);
  const TargetFile older = ReadTargetFile(changed);
  WriteFileBytes(changed, before[changed] + "saved by another program\r\n");
  before[changed] = ReadFileBytes(changed);
  OriginalHash changedSince(*files, changed, older.stamp);
  EXPECT_THROW(recording->KeepFromFile(changed, older.stamp, "new", changedSince), Error);
  KeepFromFileAndWrite(kept);

  const UndoStore::Outcome outcome = Restore();
  EXPECT_EQ(outcome.restored, std::vector<std::string>{kept});
  EXPECT_TRUE(outcome.leftAlone.empty());
  for (const auto& [path, bytes] : before) EXPECT_EQ(ReadFileBytes(path), bytes) << path;
  EXPECT_TRUE(reports.empty());
}

// A full disk cuts a journal line short as the undo writes it: the undo goes
// on, and the next one still reads the journal and gives back what was kept.
TEST_F(UndoKeeping, AJournalLineCutShortLeavesTheRestReadable) {
  Start();
  const std::vector<std::string> paths{File("a.txt", "a\r\n"), File("held.txt", "h\r\n"), File("c.txt", "c\r\n")};
  for (const std::string& path : paths) {
    recording->Keep(path, before[path], "new");
    RewriteTargetFile(path, ReadTargetFile(path).stamp, "new");
    recording->Written(path);
  }
  HANDLE viewer = CreateFileA(paths[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  // The undo's third write is a.txt's line in the journal, after its new
  // file's name and bytes.
  Fault full{Call::kWrite, 3, 2, ERROR_DISK_FULL};
  full.shortWrite = true;
  files->Add(full);
  EXPECT_EQ(Restore().kept.size(), 1u);
  CloseHandle(viewer);
  EXPECT_EQ(Restore().restored, (std::vector<std::string>{paths[0], paths[1]}));
  for (const auto& [path, bytes] : before) EXPECT_EQ(ReadFileBytes(path), bytes) << path;
  EXPECT_FALSE(store->Any());
}

// Originals are checked before they go back. The pack is held while its copy
// runs; damaged later (a flipped bit, an end cut off), the files whose
// originals it no longer holds whole are named and left as the run left them.
TEST_F(UndoKeeping, AnOriginalNotAsKeptIsNamedAndNeverGoesBack) {
  Start();
  const std::vector<std::string> paths{File("flipped.txt", "one\r\n"), File("whole.txt", "two\r\n"),
                                       File("cut.txt", "three\r\n")};
  for (const std::string& path : paths) {
    recording->Keep(path, before[path], "new");
    RewriteTargetFile(path, ReadTargetFile(path).stamp, "new");
    recording->Written(path);
  }
  recording.reset();
  const std::string pack = StoreFolder() + "\\originals.dat";
  EXPECT_EQ(CreateFileA(pack.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  store.emplace(std::vector<std::string>{undoFolder}, *files);  // the copy has ended
  std::string bytes = ReadFileBytes(pack);
  bytes[1] ^= 4;
  WriteFileBytes(pack, bytes.substr(0, bytes.size() - 1));

  const UndoStore::Outcome outcome = Restore();
  EXPECT_EQ(outcome.restored, std::vector<std::string>{paths[1]});
  EXPECT_EQ(outcome.damaged, (std::vector<std::string>{paths[0], paths[2]}));
  EXPECT_TRUE(outcome.kept.empty());
  EXPECT_EQ(ReadFileBytes(paths[0]), "new");
  EXPECT_EQ(ReadFileBytes(paths[2]), "new");
  EXPECT_FALSE(store->Any());
}

// Two copies of the program started from one folder: each an undo store over
// the same root, as each copy makes its own.
class SharedStore : public ::testing::Test {
 protected:
  // `name` in the folder, or a full path.
  std::string File(const std::string& name, const std::string& bytes) {
    const std::string path = name.starts_with("\\\\") ? name : folder / name;
    WriteFileBytes(path, bytes);
    before[path] = bytes;
    return path;
  }
  // A run of `copy` named `time` that gives each file `text` before its
  // bytes: a big file keeps its original by a second name.
  static void Run(UndoStore& copy, const std::string& time, const std::vector<std::string>& paths,
                  const std::string& text) {
    UndoRecording recording(copy, [time] { return time; }, [](const std::string& message) { FAIL() << message; });
    for (const std::string& path : paths) Write(recording, path, text);
  }
  static void Write(UndoRecording& recording, const std::string& path, const std::string& text) {
    const TargetFile file = ReadTargetFile(path);
    const std::string written = text + file.bytes;
    if (UndoRecording::TakesFromFile(file.stamp.size)) {
      OriginalHash original(SystemFileSystem(), path, file.stamp);
      recording.KeepFromFile(path, file.stamp, written, original);
    } else {
      recording.Keep(path, file.bytes, written);
    }
    RewriteTargetFile(path, file.stamp, written, SystemFileSystem(), false, nullptr, file.names);
    recording.Written(path);
  }
  static UndoStore::Outcome Undo(UndoStore& copy, UndoStore::Choice& choice, Host& host) {
    EXPECT_TRUE(choice.store.has_value());
    return choice.store ? copy.Restore(choice, host) : UndoStore::Outcome();
  }
  void ExpectAsBefore(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) EXPECT_EQ(ReadFileBytes(path), before.at(path)) << path;
  }
  void ExpectFrom(const std::string& text, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) EXPECT_EQ(ReadFileBytes(path), text + before.at(path)) << path;
  }

  testing::TempFolder folder;
  const std::string root = folder / "undo";
  UndoStore copyA{{root}}, copyB{{root}};
  std::map<std::string, std::string> before;
};

// A's undo is asked for while B runs: each copy's files get their own
// originals, and neither removes the other's store.
TEST_F(SharedStore, EachCopyTakesBackOnlyItsOwnRunWhateverTheOtherDoes) {
  const std::vector<std::string> filesA{File("a1.txt", "a one\r\n"), File("a2.txt", Lines("a big", 2 << 20))};
  const std::vector<std::string> filesB{File("b1.txt", "b one\r\n"), File("b2.txt", Lines("b big", 2 << 20))};
  Run(copyA, "A's time", filesA, "by A ");

  // A's store is A's while A runs.
  UndoStore::Choice byB = copyB.HoldRunToUndo();
  EXPECT_FALSE(byB.store.has_value());
  EXPECT_EQ(byB.laterRunElsewhere, "A's time");

  UndoStore::Choice byA = copyA.HoldRunToUndo();  // A's question is up...
  ASSERT_TRUE(byA.store.has_value());
  EXPECT_EQ(byA.journal.runTime, "A's time");
  Run(copyB, "B's time", filesB, "by B ");  // ...while B runs
  Host hostA;
  const UndoStore::Outcome outcomeA = Undo(copyA, byA, hostA);
  EXPECT_EQ(outcomeA.restored, filesA);
  ExpectAsBefore(filesA);
  ExpectFrom("by B ", filesB);

  byB = copyB.HoldRunToUndo();
  EXPECT_FALSE(byB.laterRunElsewhere.has_value());
  Host hostB;
  EXPECT_EQ(Undo(copyB, byB, hostB).restored, filesB);
  ExpectAsBefore(filesB);
  EXPECT_TRUE(testing::NamesIn(folder.Path()) == std::vector<std::string>({"a1.txt", "a2.txt", "b1.txt", "b2.txt"}));
}

// Both run at once; B's run, the later, takes over as the last run, yet A's
// big file keeps its original until A lets go of it.
TEST_F(SharedStore, TwoRunsAtOnceKeepEachOthersOriginals) {
  const std::string bigA = File("a.txt", Lines("a big", 3 << 20));
  const std::string smallB = File("b.txt", "b one\r\n");
  {
    UndoRecording runA(copyA, [] { return "A's time"; }, [](const std::string& message) { FAIL() << message; });
    UndoRecording runB(copyB, [] { return "B's time"; }, [](const std::string& message) { FAIL() << message; });
    Write(runA, bigA, "by A ");
    Write(runB, smallB, "by B ");
  }
  // B's run is the later one and B still runs: A takes back its own.
  UndoStore::Choice byA = copyA.HoldRunToUndo();
  EXPECT_EQ(byA.laterRunElsewhere, "B's time");
  Host host;
  EXPECT_EQ(Undo(copyA, byA, host).restored, std::vector<std::string>{bigA});
  ExpectAsBefore({bigA});
  ExpectFrom("by B ", {smallB});
}

// B ends, leaving its last run behind; a run of A that writes nothing leaves
// B's run to take back, and once A writes a file it is the last run, taking
// with it the new file B was killed writing (a user's file named like it stays).
TEST_F(SharedStore, TheLastRunGivesWayOnlyToARunThatWritesAFile) {
  const std::string first = File("first.txt", "one\r\n");
  const std::string second = File("second.txt", "two\r\n");
  const std::string leftover = File("~vnx0b0b.tmp", "B's new text"), users = File("~VNX2024.TMP", "the user's");
  {
    UndoStore ended{{root}};
    UndoRecording run(ended, [] { return std::string("B's time"); }, [](const std::string& message) { FAIL() << message; });
    Write(run, first, "by B ");
    run.RecordTemporary(leftover, true);
  }
  {
    // The only match cannot be written: kept, then never written.
    UndoRecording nothing(copyA, [] { return "A's time"; }, [](const std::string& message) { FAIL() << message; });
    nothing.Keep(second, before[second], "never");
  }
  EXPECT_EQ(testing::NamesIn(root).size(), 1u);
  UndoStore::Choice choice = copyA.HoldRunToUndo();
  EXPECT_EQ(choice.journal.runTime, "B's time");
  copyA.ReleaseWithoutRestoring(choice);

  Run(copyA, "A's time", {second}, "by A ");
  EXPECT_EQ(testing::NamesIn(root).size(), 1u);
  EXPECT_EQ(GetFileAttributesA(leftover.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadFileBytes(users), "the user's");
  choice = copyA.HoldRunToUndo();
  EXPECT_EQ(choice.journal.runTime, "A's time");
  Host host;
  EXPECT_EQ(Undo(copyA, choice, host).restored, std::vector<std::string>{second});
  ExpectFrom("by B ", {first});
  EXPECT_FALSE(copyA.Any());
}

// Which run is the last comes from the order the stores were made in, never
// from a clock: an earlier version's store named by a time an hour ahead gives
// way to a later run. Choosing asks nothing of the other stores: X, still
// open, is offered Y's later run, says no, and keeps its own to take back.
TEST_F(SharedStore, TheLastRunIsTheLastMadeAndNothingGoesBeforeTheAnswer) {
  const std::string first = File("first.txt", "one\r\n"), second = File("second.txt", "two\r\n");
  {
    UndoStore ended{{root}};
    Run(ended, "ahead", {first}, "ahead ");
  }
  const std::string made = testing::NamesIn(root).at(0);
  const std::string ahead = "r7fffffffffffffff-" + made.substr(made.size() - 8);
  ASSERT_TRUE(MoveFileA((root + "\\" + made).c_str(), (root + "\\" + ahead).c_str()));
  Run(copyA, "X's time", {second}, "by X ");
  EXPECT_EQ(testing::NamesIn(root).size(), 1u);
  {
    UndoStore copyY{{root}};
    Run(copyY, "Y's time", {first}, "by Y ");
  }
  UndoStore::Choice choice = copyA.HoldRunToUndo();
  EXPECT_EQ(choice.journal.runTime, "Y's time");
  copyA.ReleaseWithoutRestoring(choice);
  EXPECT_EQ(testing::NamesIn(root).size(), 2u);
  choice = copyB.HoldRunToUndo();
  Host host;
  EXPECT_EQ(Undo(copyB, choice, host).restored, std::vector<std::string>{first});
  ExpectFrom("ahead ", {first});
  choice = copyA.HoldRunToUndo();
  EXPECT_EQ(choice.journal.runTime, "X's time");
  EXPECT_EQ(Undo(copyA, choice, host).restored, std::vector<std::string>{second});
  ExpectAsBefore({second});
}

// Files that cannot be written now, or whose folder is not where it was, are
// named with their reason and keep their originals; the next undo, once they
// can be written, gives them back. Another undo stopped half way leaves the
// rest for later too.
TEST_F(SharedStore, AnUndoKeepsEveryOriginalItCouldNotGiveBack) {
  CreateDirectoryA((folder / "sub").c_str(), nullptr);
  // Names that only the "\\?\" form reaches are kept as the run wrote them.
  const std::vector<std::string> paths{File("readonly.txt", "r\r\n"), File("held.txt", "h\r\n"),
                                       File("sub\\moved.txt", "m\r\n"), File("replaced.txt", "f\r\n"),
                                       File("plain.txt", "p\r\n"), File("\\\\?\\" + (folder / "a dot."), "d\r\n"),
                                       File("\\\\?\\" + (folder / "a space "), "s\r\n")};
  Run(copyA, "A's time", paths, "new ");
  SetFileAttributesA(paths[0].c_str(), FILE_ATTRIBUTE_READONLY);
  HANDLE viewer = CreateFileA(paths[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  MoveFileA((folder / "sub").c_str(), (folder / "sub2").c_str());
  MoveFileA(paths[3].c_str(), (paths[3] + ".aside").c_str());
  CreateDirectoryA(paths[3].c_str(), nullptr);

  UndoStore::Choice choice = copyA.HoldRunToUndo();
  Host host;
  UndoStore::Outcome outcome = Undo(copyA, choice, host);
  EXPECT_EQ(outcome.restored, (std::vector<std::string>{paths[4], paths[5], paths[6]}));
  EXPECT_TRUE(outcome.leftAlone.empty());
  EXPECT_EQ(outcome.kept, (std::vector<std::pair<std::string, NotRestored>>{
                              {paths[0], NotRestored::kReadOnly},
                              {paths[1], NotRestored::kHeldOpen},
                              {paths[2], NotRestored::kFolderMissing},
                              {paths[3], NotRestored::kFolderInPlace}}));

  SetFileAttributesA(paths[0].c_str(), FILE_ATTRIBUTE_NORMAL);
  CloseHandle(viewer);
  MoveFileA((folder / "sub2").c_str(), (folder / "sub").c_str());
  RemoveDirectoryA(paths[3].c_str());
  MoveFileA((paths[3] + ".aside").c_str(), paths[3].c_str());
  choice = copyA.HoldRunToUndo();
  EXPECT_EQ(choice.journal.entries.size(), 4u);
  Host stopping;
  stopping.stopAfter = 2;
  outcome = Undo(copyA, choice, stopping);
  EXPECT_EQ(outcome.notReached, 2);
  choice = copyA.HoldRunToUndo();
  Host rest;
  outcome = Undo(copyA, choice, rest);
  EXPECT_EQ(stopping.restored.size() + rest.restored.size(), 4u);
  EXPECT_TRUE(outcome.kept.empty());
  ExpectAsBefore(paths);
  EXPECT_FALSE(copyA.Any());
}

// The journal of a copy that has ended, damaged or cut short by the end of
// the program: a damaged one is refused before anything is touched, one cut
// short is followed as far as its lines go.
TEST_F(SharedStore, AJournalIsFollowedOnlyAsFarAsItHolds) {
  const std::vector<std::string> paths{File("f0.txt", "zero\r\n"), File("f1.txt", "one\r\n"), File("f2.txt", "two\r\n")};
  const std::string never = File("never.txt", "three\r\n");
  {
    UndoStore ended{{root}};
    Run(ended, "then", paths, "new ");
  }
  const std::string journalPath = root + "\\" + testing::NamesIn(root).at(0) + "\\journal.txt";
  const std::string journal = ReadFileBytes(journalPath);
  const std::string refusal = "The undo journal " + journalPath + " is damaged or was not written by Varnex. No file was changed";

  std::string damaged = journal;
  damaged[damaged.find(paths[1]) + damaged.size() % 7] ^= 1;
  // Checks that hold, round a path that leads out of the folder run over.
  const std::string misleading = JournalStart("now") + JournalEntry({1, folder / "..\\elsewhere.txt", false, 0, 1, 1, 2, {}, StrongHashHex("x")});
  for (const std::string& bytes : {damaged, misleading}) {
    WriteFileBytes(journalPath, bytes);
    try {
      copyA.HoldRunToUndo();
      ADD_FAILURE() << "not refused";
    } catch (const Error& error) {
      EXPECT_EQ(error.what(), refusal);
    }
    ExpectFrom("new ", paths);
    EXPECT_EQ(ReadFileBytes(journalPath), bytes);
  }

  // The last file written, but the program ended before it said so; and one
  // more named, but the program ended before it was written.
  std::string cut = journal;
  cut.erase(cut.rfind("W\t"));
  const UndoEntry& third = ReadJournal(cut, "j").entries.at(2);
  cut += JournalEntry({4, never, false, third.offset + third.length, 0, 0, 2, {}, StrongHashHex("")});
  WriteFileBytes(journalPath, cut);
  UndoStore::Choice choice = copyA.HoldRunToUndo();
  Host host;
  EXPECT_EQ(Undo(copyA, choice, host).restored, paths);
  ExpectAsBefore(paths);
  ExpectAsBefore({never});
}

// A journal whose lengths point far past the pack (2^62 bytes), or a big
// file's original that shares its bytes with another name of the file: the
// first is named as damaged with nothing asked of memory, the second was
// copied into the store, written over in place and comes back to both names.
TEST_F(SharedStore, AnOriginalIsKeptAndCheckedWhateverTheJournalAndTheLinksSay) {
  const std::string big = File("big.txt", Lines("big", 2 << 20));
  const std::string crafted = File("crafted.txt", "left by the run\r\n");
  ASSERT_TRUE(CreateHardLinkA((folder / "other name.txt").c_str(), big.c_str(), nullptr));
  {
    UndoStore ended{{root}};
    Run(ended, "then", {big}, "new ");
  }
  const std::string store = root + "\\" + testing::NamesIn(root).at(0);
  EXPECT_EQ(testing::NamesIn(store), (std::vector<std::string>{"journal.txt", "originals.dat"}));
  EXPECT_EQ(ReadFileBytes(folder / "other name.txt"), "new " + before[big]);
  const UndoEntry first = ReadJournal(ReadFileBytes(store + "\\journal.txt"), "j").entries.at(0);
  WIN32_FILE_ATTRIBUTE_DATA left;
  GetFileAttributesExA(crafted.c_str(), GetFileExInfoStandard, &left);
  UndoEntry huge{2, crafted, false, first.length, std::uint64_t{1} << 62, before[crafted].size(),
                 ContentHash(before[crafted]), {}, StrongHashHex("")};
  const std::uint64_t lastWrite = (std::uint64_t{left.ftLastWriteTime.dwHighDateTime} << 32) | left.ftLastWriteTime.dwLowDateTime;
  WriteFileBytes(store + "\\journal.txt",
                 ReadFileBytes(store + "\\journal.txt") + JournalEntry(huge) + JournalWritten(2, lastWrite));

  UndoStore::Choice choice = copyA.HoldRunToUndo();
  Host host;
  const UndoStore::Outcome outcome = Undo(copyA, choice, host);
  EXPECT_EQ(outcome.damaged, std::vector<std::string>{crafted});
  EXPECT_EQ(outcome.restored, std::vector<std::string>{big});
  ExpectAsBefore({big, crafted});
  EXPECT_EQ(ReadFileBytes(folder / "other name.txt"), before[big]);
}

// An undo that ended between giving a file back and saying so in the journal
// (the program killed, the line not written): the next undo finds the file
// holding its earlier bytes, counts it among those given back and says
// nothing of a change since the run, small or big file alike. A file the run
// never came to write holds its earlier bytes too, but was not given back.
TEST_F(SharedStore, AnUndoCutShortAfterAFileWasGivenBackCountsItAsGivenBack) {
  const std::vector<std::string> paths{File("f0.txt", "zero\r\n"), File("big.txt", Lines("big", 2 << 20)),
                                       File("f2.txt", "two\r\n")};
  const std::string changedSince = File("changed.txt", "three\r\n");
  const std::string never = File("never.txt", "four\r\n");
  {
    UndoStore ended{{root}};
    UndoRecording run(ended, [] { return std::string("then"); }, [](const std::string& message) { FAIL() << message; });
    for (const std::string& path : {paths[0], paths[1], changedSince, paths[2]}) Write(run, path, "new ");
    run.Keep(never, before[never], "never written");
  }
  WriteFileBytes(changedSince, "changed since\r\n");
  {
    UndoStore cut{{root}};
    UndoStore::Choice choice = cut.HoldRunToUndo();
    Host host;
    host.stopAfter = 2;
    EXPECT_EQ(Undo(cut, choice, host).notReached, 3);
  }
  const std::string journalPath = root + "\\" + testing::NamesIn(root).at(0) + "\\journal.txt";
  std::string journal = ReadFileBytes(journalPath);
  for (int line = 0; line < 2; ++line) journal.erase(journal.rfind("D\t"));
  WriteFileBytes(journalPath, journal);

  UndoStore::Choice choice = copyA.HoldRunToUndo();
  Host host;
  const UndoStore::Outcome outcome = Undo(copyA, choice, host);
  EXPECT_EQ(outcome.restored, paths);
  EXPECT_EQ(outcome.leftAlone, std::vector<std::string>{changedSince});
  ExpectAsBefore(paths);
  ExpectAsBefore({never});
  EXPECT_FALSE(copyA.Any());
}

}  // namespace
}  // namespace varnex
