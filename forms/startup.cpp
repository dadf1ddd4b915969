#include "forms/startup.h"

#include <commctrl.h>

#include "resources/version.h"

namespace varnex {
namespace {

constexpr UINT kHintHidePause = 10000;  // milliseconds

}  // namespace

void PrepareApplication(Application& application) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  application.SetTitle(VARNEX_TITLE);
  application.SetHintHidePause(kHintHidePause);
}

ProgramWindows::ProgramWindows(Application& application, const std::string& programDirectory)
    : main(application, programDirectory), panel(application, main.Settings(), programDirectory + "\\dv.html") {}

void ProgramWindows::Create() {
  main.Create();
  panel.Create(main.Handle());
  main.AttachOptionsPanel(panel);
}

}  // namespace varnex
