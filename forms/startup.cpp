#include "forms/startup.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <thread>

#include "framework/systemlibrary.h"
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
  // The first sound of a process loads the sound system (tens of milliseconds
  // under Wine), which would hold back the beep of the first results
  // and with it their showing; it is loaded while the user fills the list,
  // and kept for the life of the process. The thread comes after the library,
  // so at exit it is joined before the library goes.
  static const SystemLibrary sound("winmm.dll");
  static const std::jthread soundLoader([] {
    if (const auto countDevices = sound.Find<decltype(waveOutGetNumDevs)>("waveOutGetNumDevs")) countDevices();
  });
}

ProgramWindows::ProgramWindows(Application& application, const std::string& programDirectory)
    : main(application, programDirectory), panel(application, main.Settings(), programDirectory + "\\dv.html") {}

void ProgramWindows::Create() {
  main.Create();
  panel.Create(main.Handle());
  main.AttachOptionsPanel(panel);
}

}  // namespace varnex
