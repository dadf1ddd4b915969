#include "tests/support/main_window.h"

#include "engine/textlines.h"

namespace varnex::testing {

MainWindowTest::MainWindowTest() { PrepareApplication(app); }

MainWindowTest::~MainWindowTest() {
  if (form.Handle() != nullptr) DestroyWindow(form.Handle());
  // Closing the main window ends the message loop; the next test starts afresh.
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

void MainWindowTest::Start(bool visible) {
  program.Create();
  if (visible) {
    form.Show();
  } else {
    form.FormShow();
  }
}

void MainWindowTest::Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::vector<std::string> MainWindowTest::Entries() {
  std::vector<std::string> entries;
  for (int i = 0; i < form.Files().Count(); ++i) entries.push_back(form.Files().Entry(i));
  return entries;
}

std::vector<std::string> MainWindowTest::LogLines() {
  const std::string bytes = ReadFileBytes(folder / "varnex.log");
  EXPECT_TRUE(bytes.ends_with("\r\n"));
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(bytes)) lines.emplace_back(line);
  return lines;
}

bool MainWindowTest::RunEnabled() { return IsWindowEnabled(form.Control(TMF::kButton)) != FALSE; }
bool MainWindowTest::MinusEnabled() { return IsWindowEnabled(form.Control(TMF::kSpeedButton2)) != FALSE; }

}  // namespace varnex::testing
