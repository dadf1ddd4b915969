// Undo Last Run as the user meets it: runs started from the main window, then
// the command of the file list's menu.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <map>

#include "run/targetfile.h"
#include "tests/support/batch_run.h"

namespace varnex {
namespace {

using testing::AtFirstLook;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

constexpr UINT kQuestionFlags = MB_YESNO | MB_ICONQUESTION;

class Undo : public testing::BatchRun {
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
      before_[paths.back()] = bytes;
    }
    return paths;
  }
  void ExpectAsBefore(const std::string& path) { EXPECT_EQ(ReadFileBytes(path), before_.at(path)) << path; }
  void ExpectChanged(const std::string& path) { EXPECT_NE(ReadFileBytes(path), before_.at(path)) << path; }

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
  std::vector<std::string> RestoredLines() {
    std::vector<std::string> restored;
    for (const std::string& line : LogLines()) {
      if (line.find(" restored as it was before the run of ") != std::string::npos) restored.push_back(line);
    }
    return restored;
  }
  bool StoreThere() { return GetFileAttributesA((folder / "undo").c_str()) != INVALID_FILE_ATTRIBUTES; }
  // The folder of the one run's store there is.
  std::string StoreFolder() {
    const std::vector<std::string> stores = testing::NamesIn(folder / "undo");
    EXPECT_EQ(stores.size(), 1u);
    return stores.empty() ? "" : folder / ("undo\\" + stores[0]);
  }

  testing::ShownBox question;
  testing::ShownBox end;
  std::string progressAtEnd;
  std::map<std::string, std::string> before_;
};

TEST_F(Undo, GivesEveryFileOfARunItsBytesAndAttributesBackOnceAsked) {
  const std::vector<std::string> files = Files(5);
  const std::string untouched = File("untouched.txt", "nothing to find\r\n");
  SetFileAttributesA(files[1].c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  panel.SetChecked(TAF::Option::kBackUp, true);
  std::vector<std::string> listed = files;
  listed.push_back(untouched);
  List(listed);
  Texts("abc", "xyz");
  EXPECT_FALSE(form.CanUndo());
  EXPECT_EQ(Run().replaced, "5");
  // A run keeps them too.
  EXPECT_EQ(GetFileAttributesA(files[1].c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  for (const std::string& path : files) ExpectChanged(path);
  EXPECT_TRUE(form.CanUndo());

  // Asked first, with the run's time and size; "No" leaves everything.
  EXPECT_EQ(UndoLastRun(IDNO), "");
  EXPECT_EQ(question.caption, "Confirmation");
  EXPECT_EQ(question.flags, kQuestionFlags);
  EXPECT_TRUE(question.text.starts_with("Do you want to undo the last run of ")) << question.text;
  EXPECT_TRUE(question.text.ends_with("?\rIt changed 5 file(s).")) << question.text;
  for (const std::string& path : files) ExpectChanged(path);
  EXPECT_TRUE(form.CanUndo());

  EXPECT_EQ(UndoLastRun(), "Undo Last Run restored 5 file(s).");
  EXPECT_EQ(progressAtEnd, "5 of 5");  // shown as a run's, up until the message has gone
  EXPECT_EQ(end.caption, "Varnex");
  EXPECT_EQ(end.flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  for (const std::string& path : files) ExpectAsBefore(path);
  EXPECT_EQ(GetFileAttributesA(files[1].c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(ReadFileBytes(untouched), "nothing to find\r\n");
  // The backups are the user's and stay; the store is gone.
  EXPECT_EQ(ReadFileBytes(files[0] + ".bak"), before_.at(files[0]));
  EXPECT_FALSE(StoreThere());
  EXPECT_FALSE(form.CanUndo());

  const std::vector<std::string> restored = RestoredLines();
  ASSERT_EQ(restored.size(), 5u);
  const std::string runTime = question.text.substr(36, question.text.find("?\r") - 36);
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_TRUE(restored[i].ends_with(" - " + files[i] + " restored as it was before the run of " + runTime))
        << restored[i];
  }

  // Twice in a row: the second finds nothing.
  EXPECT_EQ(UndoLastRun(), "");
  EXPECT_EQ(question.text, "There is no run to undo.");
  EXPECT_EQ(question.flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  for (const std::string& path : files) ExpectAsBefore(path);
}

TEST_F(Undo, AStoppedRunIsUndoneAsFarAsItWent) {
  const std::vector<std::string> files = Files(4);
  const std::string missing = folder / "missing.txt";
  List({files[0], files[1], missing, files[2], files[3]});
  Texts("abc", "x");
  services.messageBoxes.onShow = [&](const testing::ShownBox& box) {
    if (box.text.starts_with("Cannot open file")) {
      PostMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(TMF::kButton, BN_CLICKED),
                   reinterpret_cast<LPARAM>(form.Control(TMF::kButton)));
    }
  };
  EXPECT_EQ(Run().replaced, "2");
  services.messageBoxes.onShow = nullptr;
  EXPECT_EQ(UndoLastRun(), "Undo Last Run restored 2 file(s).");
  EXPECT_TRUE(question.text.ends_with("It changed 2 file(s).")) << question.text;
  for (const std::string& path : files) ExpectAsBefore(path);
}

TEST_F(Undo, AFileWhoseLogLineFailedWasNotChangedAndIsNotNamed) {
  const std::vector<std::string> files = Files(3);
  List({File("no match.txt", "nothing to find"), files[0], files[1], files[2]});
  Texts("abc", "x");
  // Another program holds the log from the first file on, and lets go once
  // the second is reported.
  HANDLE held = INVALID_HANDLE_VALUE;
  const AtFirstLook holder([&] {
    held = CreateFileA((folder / "varnex.log").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  });
  services.messageBoxes.onShow = [&](const testing::ShownBox&) {
    if (held != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(held, INVALID_HANDLE_VALUE));
  };
  EXPECT_EQ(Run().replaced, "2");
  services.messageBoxes.onShow = nullptr;
  ASSERT_TRUE(holder.Acted());
  EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot open file " + files[0] + "."});
  ExpectAsBefore(files[0]);
  ExpectChanged(files[1]);
  ExpectChanged(files[2]);

  EXPECT_EQ(UndoLastRun(), "Undo Last Run restored 2 file(s).");
  for (const std::string& path : files) ExpectAsBefore(path);
  ASSERT_EQ(RestoredLines().size(), 2u);
}

TEST_F(Undo, FilesChangedOrRemovedSinceTheRunAreLeftAsTheyAreAndNamed) {
  const std::vector<std::string> files = Files(5);
  List(files);
  Texts("abc", "x");
  EXPECT_EQ(Run().replaced, "5");
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

  const std::string message = UndoLastRun();
  EXPECT_EQ(message, "Undo Last Run restored 2 file(s).\r\rThese files were changed or removed since that run and "
                     "were left as they are:\r" +
                         files[1] + "\r" + files[2] + "\r" + files[3]);
  EXPECT_EQ(end.flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  ExpectAsBefore(files[0]);
  ExpectAsBefore(files[4]);
  EXPECT_EQ(ReadFileBytes(files[1]), edited);
  EXPECT_EQ(ReadFileBytes(files[2]), sameSize);
  EXPECT_EQ(GetFileAttributesA(files[3].c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(StoreThere());
}

// A big file's original stays by a second name in the store, no bytes
// copied; the small ones beside it go into the pack.
TEST_F(Undo, ABigFilesOriginalIsKeptByASecondNameAndComesBack) {
  std::string big;
  for (int line = 0; big.size() < (3u << 19); ++line) big += "line " + std::to_string(line) + " abc\r\n";
  const std::string bigPath = File("big.txt", big);
  before_[bigPath] = big;
  const std::vector<std::string> small = Files(2);
  List({small[0], bigPath, small[1]});
  Texts("abc", "x");
  EXPECT_EQ(Run().replaced, "3");
  EXPECT_EQ(ReadFileBytes(StoreFolder() + "\\00000002.orig"), big);
  EXPECT_NE(ReadFileBytes(bigPath), big);
  EXPECT_EQ(UndoLastRun(), "Undo Last Run restored 3 file(s).");
  ExpectAsBefore(bigPath);
  for (const std::string& path : small) ExpectAsBefore(path);
  EXPECT_FALSE(StoreThere());
}

TEST_F(Undo, OnlyARunThatChangesSomethingTakesThePreviousOnesPlace) {
  const std::vector<std::string> files = Files(2);
  List({files[0]});
  Texts("abc", "x");
  EXPECT_EQ(Run().replaced, "1");
  const std::string afterFirst = ReadFileBytes(files[0]);
  Texts("not there", "x");
  EXPECT_EQ(Run().replaced, "0");
  EXPECT_EQ(UndoLastRun(IDNO), "");
  EXPECT_TRUE(question.text.ends_with("It changed 1 file(s).")) << question.text;

  List({files[1]});
  Texts("abc", "y");
  EXPECT_EQ(Run().replaced, "1");
  EXPECT_EQ(UndoLastRun(), "Undo Last Run restored 1 file(s).");
  ExpectAsBefore(files[1]);
  EXPECT_EQ(ReadFileBytes(files[0]), afterFirst);

  // Another copy's run, that copy still running, is its own to take back.
  UndoStore otherCopy(RunSession::UndoFolders(folder.Path()));
  {
    UndoRecording run(otherCopy, [] { return std::string("the other time"); }, [](const std::string&) {});
    const TargetFile file = ReadTargetFile(files[1]);
    run.Keep(files[1], file.bytes, "by the other copy");
    RewriteTargetFile(files[1], file.stamp, "by the other copy");
    run.Written(files[1]);
  }
  EXPECT_EQ(UndoLastRun(), "");
  EXPECT_EQ(question.text, "The last run, of the other time, belongs to another copy of Varnex that is still running. "
                           "Undo it from that copy, or close that copy and try again.");
  EXPECT_EQ(ReadFileBytes(files[1]), "by the other copy");
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

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

TEST_F(Undo, AStoreThatCannotBeWrittenIsReportedOnceAndTheRunGoesOn) {
  const std::vector<std::string> files = Files(3);
  WriteFileBytes(folder / "undo", "a file where the store's folder would go");
  const LocalDataBlocked blocked;
  List(files);
  Texts("abc", "x");
  EXPECT_EQ(Run().replaced, "3");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], "Varnex cannot keep the earlier text of the files this run changes (in " + folder.Path() +
                               "\\undo or " + blocked.Path() +
                               "\\undo). What it changes from now on cannot be undone with Undo Last Run.");
  EXPECT_EQ(services.messageBoxes.shown[1].caption, "Varnex");
  EXPECT_EQ(services.messageBoxes.shown[1].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  for (const std::string& path : files) ExpectChanged(path);
  EXPECT_FALSE(form.CanUndo());
  // Nothing of ours is left beside the files.
  EXPECT_EQ(FolderContents(), (std::vector<std::string>{"file0.txt", "file1.txt", "file2.txt", "undo", "varnex.log"}));
}

TEST_F(Undo, WhereTheProgramsFolderTakesNoStoreTheUsersLocalDataDoes) {
  const std::vector<std::string> files = Files(2);
  WriteFileBytes(folder / "undo", "a file where the store's folder would go");
  List(files);
  Texts("abc", "x");
  EXPECT_EQ(Run().replaced, "2");
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(form.CanUndo());
  EXPECT_EQ(UndoLastRun(), "Undo Last Run restored 2 file(s).");
  for (const std::string& path : files) ExpectAsBefore(path);
  EXPECT_FALSE(form.CanUndo());
}

}  // namespace
}  // namespace varnex
