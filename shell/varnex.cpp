// Program entry: the application object, the main window, the message loop.

#include <windows.h>

#include <commctrl.h>

#include "resources/version.h"
#include "shell/application.h"
#include "shell/hopt.h"
#include "shell/main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  varnex::Application application(instance, varnex::SystemServices());
  application.SetTitle(VARNEX_TITLE);
  application.SetHintHidePause(10000);
  try {
    varnex::TMF mainForm(application, varnex::ProgramDirectory());
    mainForm.Create();
    varnex::TAF optionsPanel(application, mainForm);
    optionsPanel.Create();
    mainForm.AttachOptionsPanel(optionsPanel);
    mainForm.Show();
    return application.Run();
  } catch (const std::exception& failure) {
    application.ShowException(failure);
    return 1;
  }
}
