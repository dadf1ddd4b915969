#pragma once
// A batch run as the run session does it, with no window: a small host that
// hands the run its texts and options and notes what the run tells it. The
// window's own share (the question, the progress, the results) is tested
// through the main window.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/textlines.h"
#include "framework/unicode.h"
#include "run/runsession.h"
#include "tests/support/temp_folder.h"

namespace varnex::testing {

// The common dialogs' header makes FindText and ReplaceText macros where it is
// included; the run's host has methods of those names.
#pragma push_macro("FindText")
#pragma push_macro("ReplaceText")
#undef FindText
#undef ReplaceText

class SessionRun : public ::testing::Test, public BatchRunHost {
 protected:
  void SetUp() override { session.Start(); }
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
    return session.Run(listed, *this);
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
  // As the window's message loop would, so what a test posts is handled.
  void ProcessPendingEvents() override {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  void ShowCurrent(int) override {}
  void FileDone(int) override {}
  bool StopRequested() override { return false; }
  void ReportFailure(const Error& failure) override { messages.push_back(WithFullStop(failure.what())); }
  void ReportUndoUnavailable(const std::string& message) override { messages.push_back(message); }

  TempFolder folder;
  RunSession session{folder.Path()};
  std::vector<std::string> listed;
  std::string findText, replaceText;
  RunOptions options;
  std::vector<std::string> messages;
};

#pragma pop_macro("ReplaceText")
#pragma pop_macro("FindText")

}  // namespace varnex::testing
