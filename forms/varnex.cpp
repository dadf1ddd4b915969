// Program entry: the application object, the program's windows, the message loop.

#include <windows.h>

#include "forms/startup.h"
#include "framework/systemlibrary.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  varnex::KeepDllSearchInSystemFolder();
  varnex::Application application(instance, varnex::SystemServices());
  varnex::PrepareApplication(application);
  try {
    varnex::ProgramWindows windows(application, varnex::ProgramDirectory());
    windows.Create();
    windows.main.Show();
    return application.Run();
  } catch (const std::exception& failure) {
    application.ShowException(failure);
    return 1;
  }
}
