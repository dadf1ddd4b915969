#include "run/batchrun.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "engine/encoding.h"
#include "engine/textlines.h"
#include "framework/unicode.h"
#include "tests/support/batch_run.h"
#include "tests/support/canvas.h"
#include "tests/support/names.h"
#include "tests/support/session_run.h"

namespace varnex {
namespace {

using testing::BatchRun;
using testing::Call;
using testing::ReadFileBytes;
using testing::Results;
using testing::SessionRun;
using testing::WriteFileBytes;

// A blank find text is told before the question, texts that are the same after it.
TEST_F(BatchRun, AsksFirstAndChecksTheTextsAfterwards) {
  const std::string path = File("a.txt", "abc\r\n");
  List({path});
  Texts("abc", "x");
  EXPECT_FALSE(Run(IDNO).shown);
  ASSERT_EQ(services.messageBoxes.shown.size(), 1u);
  const testing::ShownBox& question = services.messageBoxes.shown[0];
  EXPECT_EQ(question.caption, "Confirmation");
  EXPECT_EQ(question.flags, 36u);
  EXPECT_EQ(question.text,
            "Please click Yes, if you are really sure all files you want to change are plain text files "
            "(example: *.TXT, *.HTM).\rA binary file (example: *.DOC, *.EXE, *.JPG) will be damaged.");
  EXPECT_EQ(ReadFileBytes(path), "abc\r\n");

  const struct {
    const char *find, *replace, *message;
    std::size_t boxes;  // the question, then the refusal
  } refusals[] = {
      {"", "x", "Find text can't be blank!", 1},
      {"abc", "abc", "Find and replace texts can't be the same!", 2},
  };
  for (const auto& refusal : refusals) {
    services.messageBoxes.shown.clear();
    services.messageBoxes.answers.clear();
    Texts(refusal.find, refusal.replace);
    EXPECT_FALSE(Run().shown);
    ASSERT_EQ(services.messageBoxes.shown.size(), refusal.boxes);
    EXPECT_EQ(services.messageBoxes.shown.back().caption, "Error");
    EXPECT_EQ(services.messageBoxes.shown.back().text, refusal.message);
    EXPECT_EQ(services.messageBoxes.shown.back().flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  }
  Texts("abc", "ABC");  // case counts: accepted
  EXPECT_EQ(Run().finished, "Find and replace successfully finished.");
  EXPECT_EQ(ReadFileBytes(path), "ABC\r\n");
}

TEST_F(BatchRun, ReplacesWritesChangedFilesOnlyAndCountsThem) {
  const std::string changed = File("changed.txt", "one\ntwo\nlast");
  const std::string untouched = File("untouched.txt", "nothing here\n");
  const std::string missing = folder / "missing.txt";
  const FILETIME before = Written(untouched);
  FILETIME after;
  // The user's files named like new files of ours: no run recorded making
  // them, so no run removes them.
  WriteFileBytes(folder / "~vnx0abc.tmp", "the user's");
  WriteFileBytes(folder / "~VNX2024.TMP", "the user's");
  List({missing, changed, untouched, folder.Path()});
  Texts("two\r\nlast\r\n", "2");
  const Results results = Run();
  EXPECT_EQ(results.finished, "2 files could not be processed.");
  EXPECT_EQ(results.searched, "4");
  EXPECT_EQ(results.replaced, "1");
  EXPECT_EQ(results.current, 3);  // the last file, whatever the display skipped
  EXPECT_EQ(results.progress, 4);
  EXPECT_EQ(results.progressText, "4 of 4");
  EXPECT_TRUE(results.progressUp);
  EXPECT_EQ(results.button, "Replace All &Now");
  EXPECT_FALSE(GetWindowLongPtrA(form.Control(TMF::kProgressBar1), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(ReadFileBytes(changed), "one\r\n2\r\n");
  EXPECT_EQ(ReadFileBytes(untouched), "nothing here\n");
  after = Written(untouched);
  EXPECT_EQ(CompareFileTime(&before, &after), 0);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Cannot open file " + missing + ".\nThe file or its folder does not exist.",
                                                  "Cannot open file " + folder.Path() + ".\nIt is a folder, not a file."}));
  EXPECT_EQ(services.messageBoxes.shown[1].caption, "Varnex");
  EXPECT_EQ(services.messageBoxes.shown[1].flags, static_cast<UINT>(MB_OK));
  EXPECT_EQ(services.messageBoxes.shown[1].check, "&Do the same for every file of this run");
  EXPECT_EQ(form.Files().Current(), 0);

  // The entry holds the find text's line ends as they are: three lines; the
  // two failures follow the run's lines.
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_TRUE(log[4].ends_with(" - Cannot open file " + missing + ". The file or its folder does not exist.")) << log[4];
  EXPECT_TRUE(log[1].ends_with(" - two")) << log[1];
  EXPECT_EQ(log[2], "last");
  EXPECT_EQ(log[3], " found in " + changed + " and replaced to 2");
  EXPECT_EQ(FolderContents(),
            (std::vector<std::string>{"changed.txt", "undo", "untouched.txt", "varnex.log", "~VNX2024.TMP",
                                      "~vnx0abc.tmp"}));
}

TEST_F(SessionRun, AFileListedAgainIsReplacedOnce) {
  const std::string a = File("a.txt", "x");
  const std::string b = File("b.txt", "x");
  std::string shouted = a;
  CharUpperBuffA(shouted.data(), static_cast<DWORD>(shouted.size()));
  // The same file by its short name, before and after its long one is written.
  const std::string longer = File("a longer name.txt", "x");
  char shortName[MAX_PATH];
  ASSERT_NE(GetShortPathNameA(longer.c_str(), shortName, MAX_PATH), 0u);
  // A second name by a hard link, and a symbolic link before its file: written
  // over in place, so every name shows the new text, and replaced once.
  const std::string linked = folder / "linked.txt";
  ASSERT_TRUE(CreateHardLinkA(linked.c_str(), b.c_str(), nullptr));
  const std::string target = File("target.txt", "x"), symbolic = folder / "symbolic.txt";
  testing::MakeInLinux(folder.Path(), "\\bin\\ln -s target.txt symbolic.txt", "symbolic.txt");
  // Two files whose names differ in one letter, which in UTF-8 differ in a
  // byte the ANSI code page takes for a small letter (0x9A, its capital 0x8A).
  const std::string acute = File(testing::U8(u8"\u00DA.txt"), "x");
  const std::string circumflex = File(testing::U8(u8"\u00CA.txt"), "x");
  // Names that differ in letter case alone: two files in a Linux folder.
  const std::string twin = File("twin.txt", "x"), shoutedTwin = folder / "TWIN.txt";
  testing::MakeInLinux(folder.Path(), "\\bin\\cp twin.txt TWIN.txt", "TWIN.txt");
  // The same file by its path again, in capitals, and through its folder's parent.
  List({a, b, a, shouted, folder / "..\\" + folder.Path().substr(folder.Path().rfind('\\') + 1) + "\\a.txt", b,
        shortName, longer, shortName, linked, acute, circumflex, symbolic, target, twin, shoutedTwin});
  Texts("x", "xx");
  const RunCounts results = Run();
  EXPECT_EQ(std::pair(results.searched, results.written), std::pair(8, 8));
  const std::vector<std::string> files{a, b, longer, linked, acute, circumflex, symbolic, target, twin, shoutedTwin};
  for (const std::string& path : files) EXPECT_EQ(ReadFileBytes(path), "xx\r\n") << path;
  EXPECT_EQ(LogLines().size(), 9u);
  EXPECT_TRUE(Messages().empty());
  ASSERT_TRUE(Undo());
  for (const std::string& path : files) EXPECT_EQ(ReadFileBytes(path), "x") << path;
  WriteFileBytes(b, "b");  // the links are links still
  WriteFileBytes(target, "t");
  EXPECT_EQ(ReadFileBytes(linked) + ReadFileBytes(symbolic), "bt");
}

// Names in any script and a path past MAX_PATH go through every step whole:
// read, expanded, backed up, written, logged, known again when listed by
// another route, and taken back by Undo Last Run. The files hold ASCII alone,
// so they take the names, which their code page lacks, as UTF-8.
TEST_F(SessionRun, NamesInAnyScriptAndLongPathsAreReplacedOnceAndUndone) {
  std::vector<std::string> paths;
  for (const std::string& name : testing::NamesInAnyScript()) paths.push_back(File(name, "x"));
  for (const std::string& step : testing::LongFolderSteps(folder.Path()))
    ASSERT_TRUE(CreateDirectoryW(WidePath(step).c_str(), nullptr));
  paths.push_back(testing::LongFolderSteps(folder.Path()).back() + "\\" + testing::kEmojiName);
  WriteFileBytes(paths.back(), "x");
  ASSERT_GT(Wide(paths.back()).size(), 300u);
  // Each again, by its path exactly and through its folder's own "." step.
  std::vector<std::string> entries = paths;
  for (const std::string& path : paths) {
    const std::size_t name = path.rfind('\\');
    entries.push_back(path);
    entries.push_back(path.substr(0, name) + "\\." + path.substr(name));
  }
  options.backUp = true;
  options.dynamicVariables = true;
  List(entries);
  Texts("x", "<$filename>");
  const RunCounts results = Run();
  EXPECT_EQ(results.searched, 4);
  EXPECT_EQ(results.written, 4);
  EXPECT_TRUE(Messages().empty());
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 5u);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string name = paths[i].substr(paths[i].rfind('\\') + 1);
    EXPECT_EQ(ReadFileBytes(paths[i]), "<" + name + ">\r\n") << paths[i];
    EXPECT_EQ(ReadFileBytes(paths[i] + ".bak"), "x") << paths[i];
    EXPECT_TRUE(lines[i + 1].ends_with(" found in " + paths[i] + " and replaced to <" + name + ">")) << lines[i + 1];
  }

  struct : UndoHost {
    void Restored(const std::string&) override {}
    void ProcessPendingEvents() override {}
    void FileDone(int) override {}
    bool StopRequested() override { return false; }
  } host;
  UndoStore::Choice choice = session.HoldRunToUndo();
  ASSERT_TRUE(choice.store);
  const RunSession::Undone undone = session.Undo(choice, host);
  EXPECT_EQ(undone.outcome.restored, paths);
  EXPECT_TRUE(undone.outcome.leftAlone.empty());
  EXPECT_TRUE(undone.outcome.kept.empty());
  for (const std::string& path : paths) EXPECT_EQ(ReadFileBytes(path), "x") << path;
}

TEST_F(SessionRun, LineBreaksTheReplaceTextBringsInBecomeLineEnds) {
  const std::string lines = File("lines.txt", "a\r\nb\nc\rd");
  const std::string gone = File("gone.txt", "xxx");
  List({lines, gone});
  Texts("\r\n", "");  // the user pressed Enter in an empty find box
  Run();
  EXPECT_EQ(ReadFileBytes(lines), "abcd\r\n");
  Texts("x", "\n");
  Run();
  EXPECT_EQ(ReadFileBytes(gone), "\r\n\r\n\r\n\r\n");
}

// "Keep line ends" and "Keep modified date" as a user turns them on: LF, mixed
// and CR LF files changed with a two-line replace text keep every other line
// end and their last-write time, and Undo Last Run gives the bytes back.
TEST_F(SessionRun, KeepsLineEndsAndTheModifiedDateWhenAsked) {
  const std::pair<std::string, std::string> files[] = {{"one\ntwo cat\n", "one\ntwo big\ndog\n"},
                                                       {"a cat\r\nb\nc\r", "a big\r\ndog\r\nb\nc\r"},
                                                       {"cat\r\n", "big\r\ndog\r\n"}};
  const FILETIME old{0x12345678, 0x01D10000};
  std::vector<std::string> paths;
  for (const auto& [before, after] : files) {
    paths.push_back(File("kept" + std::to_string(paths.size()) + ".txt", before));
    const FileHandle file(CreateFileA(paths.back().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &old));
  }
  List(paths);
  Texts("cat", "big\r\ndog");
  options.keepLineEnds = options.keepModifiedDate = true;
  EXPECT_EQ(Run().written, 3);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(ReadFileBytes(paths[i]), files[i].second) << i;
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(paths[i].c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &old), 0) << i;
  }
  ASSERT_TRUE(Undo());
  for (std::size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(ReadFileBytes(paths[i]), files[i].first) << i;
}

// The log is kept open while a run appends to it, but not when it is among
// the files: then it is read in its turn as any other, and its own line is
// logged before its write is refused (the line changed it).
TEST_F(SessionRun, TheLogListedAmongTheFilesIsReadInItsTurn) {
  const std::string a = File("a.txt", "abc\r\n");
  // Spelt as the program does not spell it: in capitals, through its folder's parent.
  const std::string log = folder / ("..\\" + folder.Path().substr(folder.Path().rfind('\\') + 1) + "\\VARNEX.LOG");
  List({a, log});
  Texts("abc", "x");
  const RunCounts results = Run();
  EXPECT_EQ(results.searched, 2);
  EXPECT_EQ(results.written, 1);
  EXPECT_EQ(ReadFileBytes(a), "x\r\n");
  const std::string failed = "Cannot open file " + log + ".", why = "Another program changed the file while it was being replaced.";
  EXPECT_EQ(Messages(), std::vector<std::string>{failed + "\n" + why});
  // Its line says it was replaced, and the next that it then failed.
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(lines[1].ends_with(" - abc found in " + a + " and replaced to x")) << lines[1];
  EXPECT_TRUE(lines[2].ends_with(" - abc found in " + log + " and replaced to x")) << lines[2];
  EXPECT_TRUE(lines[3].ends_with(" - " + failed + " " + why)) << lines[3];
}

TEST_F(SessionRun, BackUpsHoldTheBytesBeforeTheRun) {
  const std::string path = File("a.txt", "old\n");
  const std::string same = File("same.txt", "nothing\n");
  WriteFileBytes(path + ".bak", "older backup");
  options.backUp = true;
  List({path, same, path});
  Texts("old", "new");
  EXPECT_EQ(Run().written, 1);  // the second pass finds nothing more to change
  EXPECT_EQ(ReadFileBytes(path), "new\r\n");
  EXPECT_EQ(ReadFileBytes(path + ".bak"), "old\n");
  EXPECT_EQ(GetFileAttributesA((same + ".bak").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SessionRun, FilesThatCannotBeDoneSafelyAreLeftAsTheyWere) {
  const std::string binary = File("binary.dat", std::string("abc\0abc", 7));
  const std::string noBackup = File("nobackup.txt", "abc");
  CreateDirectoryA((noBackup + ".bak").c_str(), nullptr);  // the copy cannot be made
  const std::string readOnly = File("readonly.txt", "abc");
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string held = File("held.txt", "abc");
  const FileHandle reader(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  // Another program in the middle of writing it: not even to be read.
  const std::string writing = File("writing.txt", "abc");
  FileHandle writer(CreateFileA(writing.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  options.backUp = true;
  List({binary, noBackup, readOnly, held, writing});
  Texts("abc", "x");

  const RunCounts results = Run();
  writer.Reset();
  EXPECT_EQ(results.searched, 4);
  EXPECT_EQ(results.written, 0);
  EXPECT_EQ(results.failed, 4);
  EXPECT_EQ(results.binary, std::vector<std::string>{binary});
  EXPECT_EQ(ReadFileBytes(binary), std::string("abc\0abc", 7));
  EXPECT_EQ(ReadFileBytes(noBackup), "abc");
  EXPECT_EQ(ReadFileBytes(readOnly), "abc");
  EXPECT_EQ(ReadFileBytes(held), "abc");
  EXPECT_EQ(ReadFileBytes(writing), "abc");
  const std::vector<std::string> failures = {
      "Cannot open file " + noBackup + ". The backup copy " + noBackup + ".bak could not be made.",
      "Cannot open file " + readOnly + ". The file is read-only.",
      "Cannot open file " + held + ". Another program holds the file open.",
      "Cannot open file " + writing + ". Another program holds the file open.",
      "Skipped " + binary + ". The file holds binary data, not text.",
  };
  std::vector<std::string> told;  // as each was found out: the batch's files at its end
  for (std::string message : Messages()) told.push_back(message.replace(message.find('\n'), 1, " "));
  std::sort(told.begin(), told.end());
  EXPECT_EQ(told, (std::vector<std::string>{failures[2], failures[0], failures[1], failures[3]}));
  // No file of the run's own is left behind, and no backup of the binary file
  // or of the one being written.
  EXPECT_EQ(FolderContents(),
            (std::vector<std::string>{"binary.dat", "held.txt", "held.txt.bak", "nobackup.txt", "nobackup.txt.bak",
                                      "readonly.txt", "readonly.txt.bak", "varnex.log",
                                      "writing.txt"}));
  // Lines are logged for the files that had a change, as the replacing goes
  // before the writing; the binary file and the one being written never got
  // that far. Every failure follows the run's lines, so no file stands there
  // as replaced that was not, and the skipped binary file comes last.
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 4u + failures.size());
  for (std::size_t i = 0; i < failures.size(); ++i) EXPECT_TRUE(log[4 + i].ends_with(" - " + failures[i])) << log[4 + i];
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SessionRun, DynamicVariablesStartFromTheMemoTextsForEveryFile) {
  const std::string first = File("first.txt", "[first.txt]");
  const std::string second = File("second.md", "[second.md] [first.txt]");
  options.dynamicVariables = true;
  List({first, second});
  Texts("[$filename]", "<$file $fileext>");
  EXPECT_EQ(Run().written, 2);
  EXPECT_EQ(ReadFileBytes(first), "<first txt>\r\n");
  EXPECT_EQ(ReadFileBytes(second), "<second md> [first.txt]\r\n");
  EXPECT_TRUE(LogLines()[2].ends_with(" - [second.md] found in " + second + " and replaced to <second md>"));
}

// At every step of a run the label beside the bar shows its figures, and
// it never draws onto the screen its ground without them: what the label
// draws is made off the screen.
TEST_F(BatchRun, TheProgressLabelShowsItsFiguresAtEveryStep) {
  form.Show();
  std::vector<std::string> files;
  for (int i = 0; i < 40; ++i) files.push_back(File("f" + std::to_string(i) + ".txt", "abc"));
  List(files);
  Texts("abc", "xyz");
  tickStep = 50;  // a step shown every other look
  struct Seen {
    HWND label;
    int steps = 0;
    int blank = 0;
    int drawnOnScreen = 0;
  } seen{form.Control(TMF::kLabel5)};
  const SUBCLASSPROC labelWatch = [](HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) -> LRESULT {
    const LRESULT result = DefSubclassProc(label, message, wParam, lParam);
    if (message != WM_SETTEXT || !IsWindowVisible(label)) return result;
    Seen& watch = *reinterpret_cast<Seen*>(data);
    ++watch.steps;
    RECT client;
    GetClientRect(label, &client);
    // What the label shows on the screen now.
    const testing::Canvas shown(client.right, client.bottom);
    HDC dc = GetDC(label);
    BitBlt(shown.Dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(label, dc);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (std::ranges::all_of(shown.Pixels(), [face](COLORREF pixel) { return pixel == face; })) ++watch.blank;
    return result;
  };
  // The label asks its window for its colours on the surface it draws on.
  const SUBCLASSPROC colourWatch = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) -> LRESULT {
    Seen& watch = *reinterpret_cast<Seen*>(data);
    if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == watch.label &&
        GetObjectType(reinterpret_cast<HGDIOBJ>(wParam)) != OBJ_MEMDC) {
      ++watch.drawnOnScreen;
    }
    return DefSubclassProc(window, message, wParam, lParam);
  };
  SetWindowSubclass(seen.label, labelWatch, 1, reinterpret_cast<DWORD_PTR>(&seen));
  SetWindowSubclass(form.Handle(), colourWatch, 1, reinterpret_cast<DWORD_PTR>(&seen));
  const Results results = Run();
  RemoveWindowSubclass(form.Handle(), colourWatch, 1);
  RemoveWindowSubclass(seen.label, labelWatch, 1);
  EXPECT_EQ(results.progressText, "40 of 40");
  EXPECT_GE(seen.steps, 5);
  EXPECT_EQ(seen.blank, 0);
  EXPECT_EQ(seen.drawnOnScreen, 0);
}

TEST_F(BatchRun, TheListStaysPutWhileTheRunGoesOn) {
  const std::string a = File("a.txt", std::string(1000, 'a'));
  const std::string b = File("b.txt", "a");
  List({a, b});
  SendMessageA(form.Files().Handle(), LB_SETSEL, TRUE, -1);
  Texts("a", "b");
  // What the user does while the first file is being replaced; the run
  // button is the stop button meanwhile, never a second run.
  PostMessageA(form.Files().Handle(), WM_KEYDOWN, VK_DELETE, 0);
  PostMessageA(form.Handle(), WM_COMMAND, TMF::kDeleteall1, 0);
  PostMessageA(form.Handle(), WM_COMMAND, TMF::kButton, 0);
  const Results results = Run();
  EXPECT_EQ(results.replaced, "1");
  EXPECT_EQ(ReadFileBytes(b), "a");
  EXPECT_EQ(Entries(), (std::vector<std::string>{a, b}));
  EXPECT_EQ(services.messageBoxes.shown.size(), 1u);  // only the run's own question
  EXPECT_TRUE(IsWindowEnabled(form.Files().Handle()));
  EXPECT_TRUE(RunEnabled());
}

TEST_F(BatchRun, StopByButtonEscOrAltSEndsTheRunAfterTheFileInHand) {
  const struct {
    const char* how;
    void (*stop)(TMF& window);
  } ways[] = {
      {"button", [](TMF& window) {
         HWND button = window.Control(TMF::kButton);
         PostMessageA(window.Handle(), WM_COMMAND, MAKEWPARAM(TMF::kButton, BN_CLICKED), reinterpret_cast<LPARAM>(button));
       }},
      {"Esc", [](TMF& window) { PostMessageA(window.Control(TMF::kButton), WM_KEYDOWN, VK_ESCAPE, 0); }},
      {"Alt+S", [](TMF& window) { PostMessageA(window.Control(TMF::kButton), WM_SYSCHAR, 's', 1 << 29); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    const std::string first = File("first.txt", "a");
    const std::string missing = folder / "missing.txt";
    const std::string third = File("third.txt", "a\nb");
    const std::string fourth = File("fourth.txt", "aaa");
    WriteFileBytes(folder / "varnex.log", "");
    List({first, missing, third, fourth});
    Texts("a", "b");
    // The user stops while the run is at the second file.
    services.messageBoxes.onShow = [&](const testing::ShownBox& box) {
      if (box.text.starts_with("Cannot open file")) way.stop(form);
    };
    const Results results = Run();
    services.messageBoxes.onShow = nullptr;
    EXPECT_TRUE(results.shown);
    EXPECT_EQ(results.searched, "2");
    EXPECT_EQ(results.replaced, "1");
    EXPECT_EQ(results.progress, 2);
    EXPECT_EQ(results.progressText, "2 of 4");
    EXPECT_EQ(results.button, "Replace All &Now");
    EXPECT_EQ(ReadFileBytes(first), "b\r\n");
    EXPECT_EQ(ReadFileBytes(third), "a\nb");
    EXPECT_EQ(ReadFileBytes(fourth), "aaa");
    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(log[0].ends_with(" - a found in " + first + " and replaced to b"));
    EXPECT_TRUE(log[1].ends_with(" - Cannot open file " + missing + ". The file or its folder does not exist."));
    EXPECT_EQ(form.Files().Current(), 0);
    EXPECT_TRUE(RunEnabled());
  }
  // A stop holds for its own run only.
  EXPECT_EQ(Run().replaced, "2");
}

TEST_F(BatchRun, TheWindowStaysLiveBetweenFilesThatDoNotMatch) {
  const std::string one = File("one.txt", "nothing");
  const std::string two = File("two.txt", "nothing");
  // The failure's message is shown right after the first file.
  List({one, folder / "missing.txt", two});
  Texts("a", "b");
  PostMessageA(form.Handle(), WM_APP, 0, 0);
  bool handledDuringTheRun = false;
  services.messageBoxes.onShow = [&](const testing::ShownBox& box) {
    MSG waiting;
    if (box.text.starts_with("Cannot open file")) {
      handledDuringTheRun = !PeekMessageA(&waiting, form.Handle(), WM_APP, WM_APP, PM_NOREMOVE);
    }
  };
  EXPECT_EQ(Run().replaced, "0");
  EXPECT_TRUE(handledDuringTheRun);
}

TEST_F(BatchRun, AFailureInsideTheRunLeavesTheWindowUsable) {
  const std::string missing = folder / "missing.txt";
  const std::string a = File("a.txt", "a");
  List({missing, a});
  Texts("a", "b");
  services.messageBoxes.onShow = [](const testing::ShownBox& box) {
    if (box.text.starts_with("Cannot open file")) throw std::runtime_error("The message could not be shown");
  };
  services.messageBoxes.answers.push_front(IDYES);
  SendMessageA(form.Handle(), WM_COMMAND, TMF::kButton, 0);
  EXPECT_EQ(services.messageBoxes.shown.back().text, "The message could not be shown.");
  EXPECT_EQ(ReadFileBytes(a), "a");

  EXPECT_TRUE(IsWindowEnabled(form.Files().Handle()));
  EXPECT_TRUE(IsWindowEnabled(form.Control(TMF::kSpeedButton1)));
  EXPECT_TRUE(MinusEnabled());
  EXPECT_TRUE(RunEnabled());
  EXPECT_TRUE(GetWindowLongPtrA(form.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  services.messageBoxes.onShow = nullptr;
  EXPECT_EQ(Run().replaced, "1");
  EXPECT_EQ(ReadFileBytes(a), "b\r\n");
  services.messageBoxes.answers.push_front(IDYES);
  SendMessageA(form.Handle(), WM_COMMAND, TMF::kDeleteall1, 0);
  EXPECT_EQ(Entries(), std::vector<std::string>{"No files added"});
}

TEST_F(BatchRun, ClosingDuringARunStopsItAfterTheFileInHand) {
  const std::string a = File("a.txt", std::string(1000, 'a'));
  const std::string b = File("b.txt", "a");
  List({a, b});
  Texts("a", "b");
  PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
  const Results results = Run();
  EXPECT_FALSE(results.shown);
  EXPECT_EQ(ReadFileBytes(a), std::string(1000, 'b') + "\r\n");
  EXPECT_EQ(ReadFileBytes(b), "a");
  Pump();
  EXPECT_EQ(form.Handle(), nullptr);
  EXPECT_TRUE(LogLines().back().ends_with(" - Application Closed"));
}

// The same text in each encoding a file may have, made with the system's own
// converters from its UTF-8 form.
std::string InEncoding(const std::string& utf8, TextEncoding encoding) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  std::string bytes;
  switch (encoding) {
    case TextEncoding::kAnsi:
      bytes.resize(wide.size() * 2);
      bytes.resize(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                                       static_cast<int>(bytes.size()), nullptr, nullptr));
      return bytes;
    case TextEncoding::kUtf8:
      return utf8;
    case TextEncoding::kUtf8WithMark:
      return "\xEF\xBB\xBF" + utf8;
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be: {
      const bool little = encoding == TextEncoding::kUtf16Le;
      bytes = little ? "\xFF\xFE" : "\xFE\xFF";
      for (wchar_t unit : wide) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += little ? low : high;
        bytes += little ? high : low;
      }
      return bytes;
    }
  }
  return bytes;
}

// The texts come in any language; an ANSI file that would have to take a
// character its code page lacks is refused rather than given a stand-in.
TEST_F(SessionRun, EveryEncodingIsSearchedAndWrittenInItsOwn) {
  using enum TextEncoding;
  const TextEncoding encodings[] = {kAnsi, kUtf8, kUtf8WithMark, kUtf16Le, kUtf16Be};
  // Every kind of line end, and none after the last line.
  const std::string original = "Caf\xC3\xA9 au lait\nCAF\xC3\x89\rcaf\xC3\xA9\n\rend";
  const std::string japanese = "\u65E5\u672C\u8A9E", emoji = "\U0001F600";
  const struct {
    const char* what;
    std::string find, replace;  // UTF-8, as the memos hand them over
    bool caseSensitive;
    std::string expected;  // UTF-8; nothing for no change
    bool ansiRefused;
  } cases[] = {
      {"ASCII find", "lait", "milk", true, "Caf\xC3\xA9 au milk\r\nCAF\xC3\x89\r\ncaf\xC3\xA9\r\n\r\nend\r\n", false},
      {"accented find", "caf\xC3\xA9", "tea", true, "Caf\xC3\xA9 au lait\r\nCAF\xC3\x89\r\ntea\r\n\r\nend\r\n", false},
      {"accented replace", "au", "\xC3\xA0 la", true,
       "Caf\xC3\xA9 \xC3\xA0 la lait\r\nCAF\xC3\x89\r\ncaf\xC3\xA9\r\n\r\nend\r\n", false},
      // Only A-Z fold: "CAFÉ" is not "café".
      {"case folding", "CAF\xC3\xA9", "tea", false, "tea au lait\r\nCAF\xC3\x89\r\ntea\r\n\r\nend\r\n", false},
      {"replace outside the code page", "LAIT", japanese + emoji, false,
       "Caf\xC3\xA9 au " + japanese + emoji + "\r\nCAF\xC3\x89\r\ncaf\xC3\xA9\r\n\r\nend\r\n", true},
      // Nothing to replace, so nothing to refuse.
      {"no match for such a replace", "tea", japanese, true, "", false},
      {"find outside the code page", japanese, "x", true, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> files;
    for (TextEncoding encoding : encodings) {
      files.push_back(File("text" + std::to_string(static_cast<int>(encoding)) + ".txt", InEncoding(original, encoding)));
    }
    List(files);
    Texts(c.find, c.replace);
    options.caseSensitive = c.caseSensitive;
    const RunCounts results = Run();
    const int changing = c.expected.empty() ? 0 : 5;
    EXPECT_EQ(results.written, c.ansiRefused ? changing - 1 : changing);
    EXPECT_EQ(results.failed, c.ansiRefused ? 1 : 0);
    for (std::size_t i = 0; i < files.size(); ++i) {
      const bool kept = c.expected.empty() || (i == 0 && c.ansiRefused);
      EXPECT_EQ(ReadFileBytes(files[i]), InEncoding(kept ? original : c.expected, encodings[i])) << "encoding " << i;
    }
    EXPECT_TRUE(IsValidUtf8(ReadFileBytes(files[1])));
    if (c.ansiRefused) {
      EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot open file " + files[0] +
                                                     ".\nThe replace text has characters that the file's ANSI code "
                                                     "page cannot hold."});
    } else {
      EXPECT_TRUE(Messages().empty());
    }
    // The log keeps the texts as typed.
    if (changing != 0) {
      const std::vector<std::string> log = LogLines();
      EXPECT_TRUE(log[log.size() - (c.ansiRefused ? 2 : 1)].ends_with(" found in " + files.back() +
                                                                        " and replaced to " + c.replace));
    }
  }
}

// A pattern over files of every encoding, with a file's name put in through
// a dynamic variable and a file its search runs away on: each file as the
// pattern makes it, the runaway one left as it was and named, the run taken
// back whole by its undo.
TEST_F(SessionRun, RegularExpressionsReplaceInEveryEncodingAndAreUndone) {
  using enum TextEncoding;
  options = {.dynamicVariables = true, .regularExpression = true};
  const std::string original = "Fait le 2024-05-17\nCAF\xC3\x89 caf\xC3\xA9 2023-12-01\r\n";
  std::vector<std::string> files;
  for (TextEncoding encoding : {kAnsi, kUtf8, kUtf16Le}) {
    files.push_back(File("d" + std::to_string(files.size()) + ".txt", InEncoding(original, encoding)));
  }
  files.push_back(File("a+b.txt", "see a+b.txt, aab.txt"));
  files.push_back(File("runaway.txt", std::string(40, 'a') + "b"));
  std::vector<std::string> before;
  for (const std::string& file : files) before.push_back(ReadFileBytes(file));
  List(files);
  Texts(R"((\d{4})-(\d{2})-(\d{2})|$filename|^(a|aa)+$|\w)" "\xC3\x89" R"(\b)", "$3.$2.$1");
  EXPECT_EQ(Run().written, 4);
  // Only A-Z fold in an ANSI file, and its accented letters are no \w.
  EXPECT_EQ(ReadFileBytes(files[0]),
            InEncoding("Fait le 17.05.2024\r\nCAF\xC3\x89 caf\xC3\xA9 01.12.2023\r\n", kAnsi));
  for (int i : {1, 2}) {
    EXPECT_EQ(ReadFileBytes(files[i]), InEncoding("Fait le 17.05.2024\r\nCA.. ca.. 01.12.2023\r\n", i == 1 ? kUtf8 : kUtf16Le));
  }
  EXPECT_EQ(ReadFileBytes(files[3]), "see .., aab.txt\r\n");
  EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot replace in file " + files[4] +
                                                 ": the regular expression backtracks without end on this file."});
  ASSERT_TRUE(Undo());
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadFileBytes(files[i]), before[i]) << files[i];
}

// Binary files (a NUL early or late) are passed over without a word and counted
// apart; a UTF-16 file without its mark is no binary file, but still unread.
TEST_F(SessionRun, BinaryFilesAreSkippedAndCountedApart) {
  using namespace std::string_literals;
  const std::string wide = File("wide.txt", "\xFF\xFEx\0y\0"s);
  const std::string bare = File("bare.txt", "x\0y\0"s);
  const std::string empty = File("empty.txt", "");
  const std::string binaryBytes[] = {"\xFF\xFEx\0\0\0"s, "\xEF\xBB\xBFx\0"s, "\0\0\1\0"s, std::string(70000, 'x') + "\0"s};
  std::vector<std::string> files{wide, bare, empty};
  for (const std::string& bytes : binaryBytes) files.push_back(File("binary" + std::to_string(files.size()), bytes));
  List(files);
  Texts("x", "z");
  const RunCounts counts = Run();
  EXPECT_EQ(counts.written, 1);
  EXPECT_EQ(counts.binary, std::vector<std::string>(files.begin() + 3, files.end()));
  EXPECT_EQ(counts.searched, 3);
  EXPECT_EQ(counts.failed, 1);
  EXPECT_EQ(ReadFileBytes(wide), "\xFF\xFEz\0y\0\r\0\n\0"s);
  for (std::size_t index = 0; index < std::size(binaryBytes); ++index) EXPECT_EQ(ReadFileBytes(files[3 + index]), binaryBytes[index]);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot open file " + bare + ".\nThe file holds binary data, not text."});
}

// A file over a megabyte is read, and told apart, a piece at a time: what
// lies past the first piece, or across the edge of two, counts as in a file
// read whole.
TEST_F(SessionRun, BigFilesAreJudgedByAllTheirPieces) {
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  std::string lines;
  while (lines.size() < kPiece + 100) lines += "abc and more\r\n";
  const auto replaced = [](std::string text, std::string_view with) {
    for (std::size_t at = 0; (at = text.find("abc", at)) != std::string::npos; at += with.size()) {
      text.replace(at, 3, with);
    }
    return text;
  };
  // "abc", then bytes up to just before the first piece's end, then `edge`
  // across it.
  const auto across = [&](std::string_view edge) {
    return "abc" + std::string(kPiece - 4, 'z') + std::string(edge) + "end\r\n";
  };
  const struct {
    const char* what;
    std::string bytes;
    std::string expected;  // nothing for a file refused
  } cases[] = {
      {"CR LF lines", lines, replaced(lines, "\xE9")},
      {"a NUL in the second piece", lines + std::string("\0", 1), ""},
      {"a CR LF across the pieces", across("\r\n"), replaced(across("\r\n"), "\xE9")},
      {"a lone LF after the first piece", across("z\n"), replaced(across("z\r\n"), "\xE9")},
      {"a lone CR ending the first piece", across("\rz"), replaced(across("\r\nz"), "\xE9")},
      // UTF-8 by a character in the second piece: the replace text goes in as UTF-8.
      {"UTF-8 in the second piece", lines + "caf\xC3\xA9\r\n", replaced(lines, "\xC3\xA9") + "caf\xC3\xA9\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = File("big.txt", c.bytes);
    List({path});
    Texts("abc", "\xC3\xA9");
    EXPECT_EQ(Run().written, c.expected.empty() ? 0 : 1);
    EXPECT_TRUE(ReadFileBytes(path) == (c.expected.empty() ? c.bytes : c.expected));
  }
}

// The flushes a run asks for: with files only written out, one full flush per
// batch (the journal's, which empties the drive's cache for the whole
// batch); without, each new file's own besides the originals' and the
// journal's per batch.
TEST_F(SessionRun, ABatchOfChangedFilesCostsOneFullFlush) {
  const struct {
    bool writesOut;
    int changed;
    std::size_t batchFiles;
    int fullFlushes;
    int writeOuts;
  } cases[] = {
      {true, 7, 3, 3, 7 + 3},   // each new file and the pack per batch
      {false, 7, 3, 7 + 3 * 2, 0},
      {true, 7, BatchLimits().files, 1, 7 + 1},
      {false, 1, BatchLimits().files, 1 + 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.changed) + " files in batches of " + std::to_string(c.batchFiles) +
                 (c.writesOut ? ", written out" : ""));
    std::vector<std::string> paths{File("unchanged.txt", "y")};
    for (int file = 0; file < c.changed; ++file) paths.push_back(File(std::to_string(file) + ".txt", "x"));
    List(paths);
    Texts("x", "z");
    disk.writesOut = c.writesOut;
    batch.files = c.batchFiles;
    const int flushes = disk.Calls(Call::kFlush), writeOuts = disk.Calls(Call::kWriteOut);
    EXPECT_EQ(Run().written, c.changed);
    // A run after another retires that one's store, emptying its journal first.
    const int retiring = &c == cases ? 0 : 1;
    EXPECT_EQ(disk.Calls(Call::kFlush) - flushes, c.fullFlushes + retiring);
    if (c.writesOut) {
      EXPECT_EQ(disk.Calls(Call::kWriteOut) - writeOuts, c.writeOuts);
    }
  }
}

using testing::AtFirstLook;

TEST_F(SessionRun, AFileSavedElsewhereDuringTheRunKeepsThatSave) {
  const std::string edited = File("edited.txt", "abc abc\r\n");
  const std::string other = File("other.txt", "abc\r\n");
  options.backUp = true;
  List({edited, other});
  Texts("abc", "x");
  // The user saves the first file in an editor while the run replaces in it.
  const AtFirstLook editor([&] { WriteFileBytes(edited, "saved in an editor\r\n"); });
  const RunCounts results = Run();
  EXPECT_TRUE(editor.Acted());
  EXPECT_EQ(results.written, 1);
  EXPECT_EQ(ReadFileBytes(edited), "saved in an editor\r\n");
  EXPECT_EQ(ReadFileBytes(other), "x\r\n");
  EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot open file " + edited +
                                                 ".\nAnother program changed the file while it was being replaced."});
  EXPECT_EQ(FolderContents(),
            (std::vector<std::string>{"edited.txt", "other.txt", "other.txt.bak", "undo", "varnex.log"}));
}

// A log with a NUL byte is only ever appended to; that must work from the
// first start on, at every line.
class BatchRunOnALogWithANul : public SessionRun {
 protected:
  static constexpr std::string_view kOldLog{"old line\r\n\0binary\r\n", 19};

  void SetUp() override {
    WriteFileBytes(folder / "varnex.log", kOldLog);
    SessionRun::SetUp();
  }
};

TEST_F(BatchRunOnALogWithANul, ChangedFilesAreWrittenCountedAndLogged) {
  const std::string first = File("first.txt", "abc\r\n");
  const std::string second = File("second.txt", "abc\r\n");
  List({first, second});
  Texts("abc", "x");
  EXPECT_EQ(Run().written, 2);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(ReadFileBytes(first), "x\r\n");
  EXPECT_EQ(ReadFileBytes(second), "x\r\n");
  const std::string log = ReadFileBytes(folder / "varnex.log");
  ASSERT_TRUE(log.starts_with(kOldLog));
  std::vector<std::string> added;
  for (std::string_view line : SplitLines(std::string_view(log).substr(kOldLog.size()))) added.emplace_back(line);
  ASSERT_EQ(added.size(), 3u);
  EXPECT_TRUE(added[0].ends_with(" - Application Started")) << added[0];
  EXPECT_TRUE(added[1].ends_with(" - abc found in " + first + " and replaced to x")) << added[1];
  EXPECT_TRUE(added[2].ends_with(" - abc found in " + second + " and replaced to x")) << added[2];
  EXPECT_TRUE(log.ends_with("\r\n"));
}

}  // namespace
}  // namespace varnex
