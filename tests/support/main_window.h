#pragma once
// The program as it starts, in-process: application object with fake services,
// main window and options panel, in a fresh program folder.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/startup.h"
#include "tests/support/fake_services.h"
#include "tests/support/temp_folder.h"

namespace varnex::testing {

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest();
  ~MainWindowTest() override;

  // Creates the windows as start-up does and runs the main window's first
  // showing; only a `visible` one is shown on the screen (hiding a visible
  // window costs Wine seconds without a window manager).
  void Start(bool visible = false);
  // Lets the posted messages through, as the message loop would.
  static void Pump();

  std::vector<std::string> Entries();
  std::vector<std::string> LogLines();
  bool RunEnabled();
  bool MinusEnabled();

  TempFolder folder;
  CurrentDirectoryKept currentDirectory;
  FakeServices services;
  // Every look at the clock finds the event pump's pause over, so whatever a
  // test posts is handled at the program's next chance, however fast it runs.
  ULONGLONG ticks = 0;
  ULONGLONG tickStep = 10;
  Application app{GetModuleHandleW(nullptr), services.Get(), [this] { return ticks += tickStep; }};
  ProgramWindows program{app, folder.Path()};
  TMF& form = program.main;
  TAF& panel = program.panel;
};

}  // namespace varnex::testing
