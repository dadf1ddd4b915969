// Undo Last Run: what it gives back, tested against the run session, and the
// window's share (the menu's question, the progress, the end message) through
// the main window.
#include "run/runsession.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <map>

#include "tests/support/batch_run.h"
#include "tests/support/session_run.h"

namespace varnex {
namespace {

using testing::AtFirstLook;
using testing::Call;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

class SessionUndo : public testing::SessionRun {
 protected:
  // The files of a run, each with a find text in it, in several shapes.
  std::vector<std::string> Files(int count) {
    static constexpr std::string_view kShapes[] = {
        "abc\r\nline two abc\r\n", "abc\nunix lines\nabc", "\xEF\xBB\xBFutf-8 abc caf\xC3\xA9\r\n",
        "ansi \xE9t\xE9 abc\r\n\r\n", "abc",
    };
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
      std::string bytes(kShapes[i % std::size(kShapes)]);
      bytes += std::string(i, '.');
      paths.push_back(File("file" + std::to_string(i) + ".txt", bytes));
      before[paths.back()] = bytes;
    }
    return paths;
  }
  void ExpectAsBefore(const std::string& path) { EXPECT_EQ(ReadFileBytes(path), before.at(path)) << path; }
  void ExpectChanged(const std::string& path) { EXPECT_NE(ReadFileBytes(path), before.at(path)) << path; }
  // The run Undo Last Run would take back, looked at and let go.
  UndoJournal NextUndo() {
    UndoStore::Choice choice = session.HoldRunToUndo();
    session.ReleaseWithoutRestoring(choice);
    return std::move(choice.journal);
  }
  bool StoreThere() { return GetFileAttributesA((folder / "undo").c_str()) != INVALID_FILE_ATTRIBUTES; }

  std::map<std::string, std::string> before;
};

TEST_F(SessionUndo, GivesEveryFileOfARunItsBytesAndAttributesBackWithALogLineEach) {
  std::string big;
  for (int line = 0; big.size() < (3u << 19); ++line) big += "line " + std::to_string(line) + " abc\r\n";
  std::vector<std::string> files = Files(5);
  files.push_back(File("big.txt", big));
  before[files.back()] = big;
  // Big, so its original is hashed while it is searched, and the hash given up.
  const std::string nothingToFind = "nothing to find\r\n" + std::string(3u << 19, '-');
  const std::string untouched = File("untouched.txt", nothingToFind);
  SetFileAttributesA(files[1].c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  options.backUp = true;
  std::vector<std::string> withUntouched = files;
  withUntouched.push_back(untouched);
  List(withUntouched);
  Texts("abc", "xyz");
  EXPECT_FALSE(session.CanUndo());
  EXPECT_EQ(Run().written, 6);
  // A big file's original stays by a second name in the store, no bytes copied.
  const std::vector<std::string> stores = testing::NamesIn(folder / "undo");
  ASSERT_EQ(stores.size(), 1u);
  EXPECT_EQ(ReadFileBytes(folder / ("undo\\" + stores[0] + "\\00000006.orig")), big);
  // A run keeps them too.
  EXPECT_EQ(GetFileAttributesA(files[1].c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  for (const std::string& path : files) ExpectChanged(path);
  // Only a run that changes something takes the last one's place; no run
  // changes a file of the store, though its texts are there.
  const std::string store = folder / ("undo\\" + stores[0]);
  List({store + "\\originals.dat", store + "\\journal.txt"});
  EXPECT_EQ(Run().written, 0);
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            store + "\\originals.dat belongs to the undo store of Varnex and was left as it is.",
                            store + "\\journal.txt belongs to the undo store of Varnex and was left as it is."}));
  const std::string runTime = NextUndo().runTime;

  const std::optional<UndoStore::Outcome> outcome = Undo();
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->restored, files);
  EXPECT_TRUE(outcome->leftAlone.empty() && outcome->kept.empty() && outcome->notReached == 0);
  for (const std::string& path : files) ExpectAsBefore(path);
  EXPECT_EQ(GetFileAttributesA(files[1].c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(ReadFileBytes(untouched), nothingToFind);
  // The backups are the user's and stay; the store is gone.
  EXPECT_EQ(ReadFileBytes(files[0] + ".bak"), before.at(files[0]));
  EXPECT_FALSE(StoreThere());
  EXPECT_FALSE(session.CanUndo());

  std::vector<std::string> lines;
  for (const std::string& line : LogLines()) {
    if (line.find(" restored as it was before the run of ") != std::string::npos) lines.push_back(line);
  }
  ASSERT_EQ(lines.size(), 6u);
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_TRUE(lines[i].ends_with(" - " + files[i] + " restored as it was before the run of " + runTime)) << lines[i];
  }
}

// A file whose log line failed was not changed and is not named; a run
// stopped half way is taken back as far as it went.
TEST_F(SessionUndo, OnlyWhatTheRunChangedIsTakenBack) {
  const std::vector<std::string> files = Files(4);
  const std::string missing = folder / "missing.txt";
  List({File("no match.txt", "nothing to find"), files[0], files[1], missing, files[2], files[3]});
  Texts("abc", "x");
  // Another program holds the log from the first file on, and lets go once
  // the second is reported; the user stops the run at the next report.
  HANDLE held = INVALID_HANDLE_VALUE;
  const AtFirstLook holder([&] {
    held = CreateFileA((folder / "varnex.log").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  });
  onFailure = [&] {
    stop = held == INVALID_HANDLE_VALUE;
    CloseHandle(std::exchange(held, INVALID_HANDLE_VALUE));
  };
  EXPECT_EQ(Run().written, 1);
  stop = false;
  ASSERT_TRUE(holder.Acted());
  // The log's own failure is the reason the first file was not done.
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Cannot create file " + folder / "varnex.log" + ".\nAnother program holds the file open.",
                            "Cannot open file " + missing + ".\nThe file or its folder does not exist."}));
  ExpectChanged(files[1]);

  EXPECT_EQ(Undo().value().restored, std::vector<std::string>{files[1]});
  for (const std::string& path : files) ExpectAsBefore(path);

  // A log that is a folder keeps every file as it was, told once with its reason.
  const std::string log = folder / "varnex.log";
  ASSERT_TRUE(DeleteFileA(log.c_str()) && CreateDirectoryA(log.c_str(), nullptr));
  List({files[0], files[1]});
  onFailure = nullptr;
  const RunCounts counts = Run();
  ASSERT_TRUE(RemoveDirectoryA(log.c_str()));
  EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot create file " + log + ".\nIt is a folder, not a file."});
  ASSERT_EQ(counts.failed, 2);
  for (int file = 0; file < 2; ++file) {
    EXPECT_EQ(WithReason(counts.failures[file].error, " "),
              files[file] + " was left as it was: its change could not be added to the log.");
    ExpectAsBefore(files[file]);
  }
}

// Changed since the run: left as they are and named. An original the pack
// cannot give now stays in the store for another try.
TEST_F(SessionUndo, FilesChangedSinceTheRunAreLeftAloneAndAnOriginalNotReadIsKept) {
  const std::vector<std::string> files = Files(5);
  List(files);
  Texts("abc", "x");
  EXPECT_EQ(Run().written, 5);
  // Edited in an editor: longer; the same length with the time put back as
  // the run left it; and removed.
  WriteFileBytes(files[1], ReadFileBytes(files[1]) + "an edit");
  WIN32_FILE_ATTRIBUTE_DATA left;
  GetFileAttributesExA(files[2].c_str(), GetFileExInfoStandard, &left);
  std::string sameSize = ReadFileBytes(files[2]);
  sameSize[0] = sameSize[0] == 'Q' ? 'R' : 'Q';
  WriteFileBytes(files[2], sameSize);
  {
    const HANDLE file = CreateFileA(files[2].c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    0, nullptr);
    SetFileTime(file, nullptr, nullptr, &left.ftLastWriteTime);
    CloseHandle(file);
  }
  const std::string edited = ReadFileBytes(files[1]);
  DeleteFileA(files[3].c_str());
  const std::string changed = ReadFileBytes(files[0]);
  disk.Add({Call::kReadAt, 1, 1, ERROR_NETNAME_DELETED});

  std::optional<UndoStore::Outcome> outcome = Undo();
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->restored, std::vector<std::string>{files[4]});
  EXPECT_EQ(outcome->leftAlone, (std::vector<std::string>{files[1], files[2], files[3]}));
  EXPECT_EQ(outcome->kept, (std::vector<std::pair<std::string, NotRestored>>{{files[0], NotRestored::kCannotWrite}}));
  EXPECT_EQ(ReadFileBytes(files[0]), changed);
  ExpectAsBefore(files[4]);
  EXPECT_EQ(ReadFileBytes(files[1]), edited);
  EXPECT_EQ(ReadFileBytes(files[2]), sameSize);
  EXPECT_EQ(GetFileAttributesA(files[3].c_str()), INVALID_FILE_ATTRIBUTES);

  outcome = Undo();
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->restored, std::vector<std::string>{files[0]});
  ExpectAsBefore(files[0]);
  EXPECT_FALSE(StoreThere());
}

// The program's folder first, then the user's local application data; where
// neither takes a store, the run goes on and says once that it cannot be undone.
TEST_F(SessionUndo, TheStoreGoesWhereItCanBeMadeElseTheRunGoesOnWithoutIt) {
  const std::vector<std::string> files = Files(3);
  WriteFileBytes(folder / "undo", "a file where the store's folder would go");
  List({files[0]});
  Texts("abc", "x");
  EXPECT_EQ(Run().written, 1);
  EXPECT_TRUE(Messages().empty());
  ASSERT_TRUE(Undo());
  ExpectAsBefore(files[0]);
  EXPECT_FALSE(session.CanUndo());

  disk.Add({Call::kMakeFolder, 1, testing::kEveryCall});
  List(files);
  EXPECT_EQ(Run().written, 3);
  const std::vector<std::string> roots = RunSession::UndoFolders(folder.Path());
  EXPECT_EQ(Messages(), std::vector<std::string>{"Varnex cannot keep the earlier text of the files this run "
                                                 "changes (in " + roots.at(0) + " or " + roots.at(1) +
                                                 "). What it changes from now on cannot be undone with Undo Last Run"});
  for (const std::string& path : files) ExpectChanged(path);
  EXPECT_FALSE(session.CanUndo());
  // Nothing of ours is left beside the files.
  EXPECT_EQ(FolderContents(), (std::vector<std::string>{"file0.txt", "file1.txt", "file2.txt", "undo", "varnex.log"}));
}

class Undo : public testing::BatchRun {
 protected:
  // Chooses "Undo Last Run...", answers its question and returns the message
  // shown at the end ("" when none).
  std::string UndoLastRun(int answer = IDYES) {
    services.messageBoxes.shown.clear();
    services.messageBoxes.answers.push_front(answer);
    // The undo's progress, as it stands when the end message comes up.
    progressAtEnd.clear();
    services.messageBoxes.onShow = [this](const testing::ShownBox&) {
      const HWND label = form.Control(TMF::kLabel5);
      progressAtEnd = (GetWindowLongPtrA(label, GWL_STYLE) & WS_VISIBLE) ? WindowText(label) : "";
    };
    form.UndoLastRun1Click();
    services.messageBoxes.onShow = nullptr;
    const auto& shown = services.messageBoxes.shown;
    if (shown.empty()) return "";
    question = shown.front();
    if (shown.size() < 2) return "";
    EXPECT_EQ(shown.size(), 2u);
    end = shown.back();
    return end.text;
  }

  testing::ShownBox question;
  testing::ShownBox end;
  std::string progressAtEnd;
};

TEST_F(Undo, TheMenuAsksFirstShowsTheProgressAndTellsTheOutcome) {
  const std::vector<std::string> files{File("a.txt", "abc"), File("b.txt", "abc\r\n"), File("c.txt", "x abc")};
  List(files);
  Texts("abc", "xyz");
  EXPECT_FALSE(form.CanUndo());
  EXPECT_EQ(Run().replaced, "3");
  EXPECT_TRUE(form.CanUndo());

  // Asked first, with the run's time and size; "No" leaves everything.
  EXPECT_EQ(UndoLastRun(IDNO), "");
  EXPECT_EQ(question.caption, "Confirmation");
  EXPECT_EQ(question.flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_TRUE(question.text.starts_with("Do you want to undo the last run of ")) << question.text;
  EXPECT_TRUE(question.text.ends_with("?\rIt changed 3 file(s).")) << question.text;
  EXPECT_EQ(ReadFileBytes(files[0]), "xyz\r\n");
  EXPECT_TRUE(form.CanUndo());

  EXPECT_EQ(UndoLastRun(), "Undo Last Run restored 3 file(s).");
  EXPECT_EQ(progressAtEnd, "3 of 3");  // shown as a run's, up until the message has gone
  EXPECT_EQ(end.caption, "Varnex");
  EXPECT_EQ(end.flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(ReadFileBytes(files[0]) + ReadFileBytes(files[1]) + ReadFileBytes(files[2]), "abcabc\r\nx abc");
  EXPECT_FALSE(form.CanUndo());
  EXPECT_EQ(UndoLastRun(), "");
  EXPECT_EQ(question.text, "There is no run to undo.");
  EXPECT_EQ(question.flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));

  // What it could not give back is named, in a warning.
  EXPECT_EQ(Run().replaced, "3");
  WriteFileBytes(files[1], "an edit");
  EXPECT_EQ(UndoLastRun(), "Undo Last Run restored 2 file(s).\r\rThese files were changed or removed since that run "
                           "and were left as they are:\r" + files[1]);
  EXPECT_EQ(end.flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  EXPECT_EQ(ReadFileBytes(files[0]) + ReadFileBytes(files[2]), "abcx abc");

  // Another copy's run, that copy still running, is its own to take back.
  UndoStore otherCopy(RunSession::UndoFolders(folder.Path()));
  UndoRecording run(otherCopy, [] { return std::string("the other time"); }, [](const std::string&) {});
  run.Keep(files[0], "abc", "by the other copy");
  run.Written(files[0]);
  EXPECT_EQ(UndoLastRun(), "");
  EXPECT_EQ(question.text, "The last run, of the other time, belongs to another copy of Varnex that is still running. "
                           "Undo it from that copy, or close that copy and try again.");
}

// The user's local application data, where the store goes when the program's
// own folder takes none; blocked by a file in the store's way.
class LocalDataBlocked {
 public:
  LocalDataBlocked() {
    char localData[MAX_PATH];
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localData);
    path_ = std::string(localData) + "\\Varnex";
    RemoveDirectoryA(path_.c_str());  // left empty by an earlier store
    testing::WriteFileBytes(path_, "in the way");
  }
  ~LocalDataBlocked() { DeleteFileA(path_.c_str()); }
  LocalDataBlocked(const LocalDataBlocked&) = delete;
  LocalDataBlocked& operator=(const LocalDataBlocked&) = delete;

 private:
  std::string path_;
};

TEST_F(Undo, AStoreThatCannotBeMadeIsReportedInAWarningAndTheRunGoesOn) {
  WriteFileBytes(folder / "undo", "a file where the store's folder would go");
  const LocalDataBlocked blocked;
  List({File("a.txt", "abc"), File("b.txt", "abc")});
  Texts("abc", "x");
  EXPECT_EQ(Run().replaced, "2");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_TRUE(Messages()[0].starts_with("Varnex cannot keep the earlier text")) << Messages()[0];
  EXPECT_EQ(services.messageBoxes.shown[1].caption, "Varnex");
  EXPECT_EQ(services.messageBoxes.shown[1].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  EXPECT_FALSE(form.CanUndo());
}

}  // namespace
}  // namespace varnex
