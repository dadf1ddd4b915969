#pragma once
// Runs and undos as the run session does them, with no window: a small host
// that hands the run its texts and options and notes what it is told, and a
// file system that fails where a test says. The window's own share (questions,
// progress, results and messages) is tested through the main window.

#include <windows.h>

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/textlines.h"
#include "framework/unicode.h"
#include "run/runsession.h"
#include "tests/support/failing_filesystem.h"
#include "tests/support/temp_folder.h"

namespace varnex::testing {

// The common dialogs' header makes FindText and ReplaceText macros where it is
// included; the run's host has methods of those names.
#pragma push_macro("FindText")
#pragma push_macro("ReplaceText")
#undef FindText
#undef ReplaceText

class SessionRun : public ::testing::Test, public BatchRunHost, public UndoHost {
 protected:
  void SetUp() override {
    disk.replaceKeepsMore = SystemFileSystem().ReplaceKeepsMore();  // the protocol of the system it runs on
    session.Start();
  }
  void TearDown() override { session.End(); }

  std::string File(const std::string& name, std::string_view bytes) {
    const std::string path = folder / name;
    WriteFileBytes(path, bytes);
    return path;
  }
  void List(std::vector<std::string> paths) { listed = std::move(paths); }
  void Texts(std::string find, std::string replace) {
    findText = std::move(find);
    replaceText = std::move(replace);
  }
  RunCounts Run() {
    messages.clear();
    return session.Run(listed, *this, batch);
  }
  // Undo Last Run once its question has been answered yes; nothing where
  // there is no run to undo.
  std::optional<UndoStore::Outcome> Undo() {
    UndoStore::Choice choice = session.HoldRunToUndo();
    if (!choice.store) return std::nullopt;
    const RunSession::Undone undone = session.Undo(choice, *this);
    if (undone.logFailure) std::rethrow_exception(undone.logFailure);
    return undone.outcome;
  }
  // What the window would have shown, in the window's words.
  const std::vector<std::string>& Messages() const { return messages; }
  // The log's lines as text, from either of its forms on disk.
  std::vector<std::string> LogLines() {
    const std::string bytes = ReadFileBytes(folder / "varnex.log");
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    const std::string text = bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : FromAnsi(bytes);
    std::vector<std::string> lines;
    for (std::string_view line : SplitLines(text)) lines.emplace_back(line);
    return lines;
  }
  std::vector<std::string> FolderContents() { return NamesIn(folder.Path()); }

  std::string FindText() override { return findText; }
  std::string ReplaceText() override { return replaceText; }
  RunOptions Options() override { return options; }
  bool CaseSensitive() override { return options.caseSensitive; }
  // As the window's message loop would, so what a test posts is handled.
  void ProcessPendingEvents() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  void ShowCurrent(int) override {}
  void FileDone(int) override {}
  bool StopRequested() override { return stop; }
  // The message, and the reason on a line of its own, as the failure box shows them.
  void ReportFailure(const Error& failure) override {
    messages.push_back(WithReason(failure, "\n"));
    if (onFailure) onFailure();
  }
  void ReportUndoUnavailable(const std::string& message) override { messages.push_back(message); }
  void Restored(const std::string&) override {}

  TempFolder folder;
  FailingFileSystem disk;  // none of its calls fails until a test says
  RunSession session{folder.Path(), disk};
  bool stop = false;  // asked for by the user, as the run and the undo see it
  std::function<void()> onFailure;
  std::vector<std::string> listed;
  std::string findText, replaceText;
  RunOptions options;
  BatchLimits batch;
  std::vector<std::string> messages;
};

#pragma pop_macro("ReplaceText")
#pragma pop_macro("FindText")

}  // namespace varnex::testing
