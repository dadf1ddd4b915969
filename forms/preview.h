#pragma once
// TPF, the preview of a run: what "Replace All Now" would change in the listed
// files, found by reading them as the run would with nothing written. A row
// per file that would change, in list order, then a row per file that could
// not be read with the reason; one line above them sums it up. A row opens its
// file in the editor, and "Replace All Now" starts the run over the same list.

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "framework/fonts.h"
#include "framework/settings.h"
#include "framework/window.h"
#include "run/runsession.h"

namespace varnex {

class TPF : public Window<TPF> {
 public:
  enum ControlId { kLabel1 = 101, kListView1, kProgressBar1, kButton1, kButton2 = IDCANCEL };
  enum Column { kFileColumn, kOccurrencesColumn, kLineColumn, kBeforeColumn, kAfterColumn, kColumns };

  // What the run would be given.
  struct Request {
    std::vector<std::string> files;
    std::string findText;
    std::string replaceText;
    RunOptions options;
  };

  TPF(Application& application, const SettingsStore& settings, RunSession& session, Request request);

  // Shows a fresh preview, reads the files and returns when it has closed:
  // true when the user asked for the run.
  static bool Show(Application& application, const SettingsStore& settings, RunSession& session, Request request);

  // Creates the window, not yet visible, at its kept size.
  void Create();
  // Reads the files, filling the list as it goes; the window stays live and
  // "Stop" ends the reading after the file in hand.
  void FormShow();
  // "Replace All Now": closes the preview for the run.
  void Button1Click();
  // "Stop" while the files are read, else "Close".
  void Button2Click();
  // Enter or a double-click on a row: its file in the editor.
  void ListView1Activate(int row);

  bool RunAsked() const { return runAsked_; }
  bool Reading() const { return reading_; }

 private:
  friend class Window<TPF>;
  class Host;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void LayOut(UINT dpi);
  void PlaceControls();
  // The rows the list shows so far; it asks for their texts as it draws them.
  void ShowRows();
  void GiveCellText(NMLVDISPINFOW& request);
  void ShowSummary(const RunCounts& counts, std::size_t occurrences, int done);
  void KeepPlace();

  const SettingsStore& settings_;
  RunSession& session_;
  Request request_;
  Fonts fonts_;
  // Each row's cells, and the file it opens (none for a file not read).
  struct Row {
    std::array<std::string, kColumns> cells;
    std::string file;
  };
  std::vector<Row> rows_;
  std::wstring cellText_;  // the text last handed to the list, kept until it asks again
  UINT laidOutDpi_ = 0;  // none until the first layout
  bool reading_ = false;
  bool stop_ = false;
  bool closeAfterReading_ = false;
  bool runAsked_ = false;
};

}  // namespace varnex
