#include "shell/main.h"

#include "engine/dynvars.h"
#include "engine/error.h"
#include "engine/paths.h"
#include "engine/replace.h"
#include "resources/version.h"
#include "run/localclock.h"

namespace varnex {
namespace {

constexpr char kClassName[] = "TMF";
constexpr char kCaption[] = VARNEX_TITLE " " VARNEX_VERSION_TEXT;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // fixed single border
constexpr int kClientWidth = 273;
constexpr int kClientHeight = 343;

void RegisterClassOnce(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXA windowClass{};
  if (GetClassInfoExA(instance, kClassName, &windowClass)) return;
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExA(&windowClass)) throw Error("Cannot register the main window");
}

// Sizes the window so that its client area, as the system actually lays it out
// (menu bar included), has the given size.
void SetClientSize(HWND window, int width, int height) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  SetWindowPos(window, nullptr, 0, 0, (outer.right - outer.left) + width - client.right,
               (outer.bottom - outer.top) + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TMF::TMF(Application& application, std::string programDirectory)
    : Window(application),
      programDirectory_(std::move(programDirectory)),
      logFile_(programDirectory_ + "\\varnex.log"),
      activityLog_(logFile_, CurrentTimeStamp) {}

void TMF::Create() {
  RegisterClassOnce(app_.Instance(), Procedure);
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  CreateWindowExA(0, kClassName, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                  frame.bottom - frame.top, nullptr, nullptr, app_.Instance(), this);
  if (Handle() == nullptr) throw Error("Cannot create the main window");
  SetClientSize(Handle(), kClientWidth, kClientHeight);
}

void TMF::Show() {
  RECT frame;
  GetWindowRect(Handle(), &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(Handle(), SW_SHOWNORMAL);
  UpdateWindow(Handle());
}

std::string TMF::ReplaceStr(std::string_view text, std::string_view findText, std::string_view replaceText,
                            bool logSwitch, std::string_view currentFile) {
  struct Context final : ReplaceContext {
    TMF& form;
    std::string_view file;
    Context(TMF& f, std::string_view path) : form(f), file(path) {}

    bool CaseSensitive() override { return form.CaseSensitive(); }
    void ProcessPendingEvents() override { form.app_.ProcessPendingMessages(); }
    void TextChanged(std::string_view find, std::string_view replace) override {
      form.FileChanged = true;
      form.activityLog_.RecordReplacement(find, file, replace);
    }
  } context(*this, currentFile);
  return ReplaceOccurrences(text, findText, replaceText, logSwitch, context);
}

std::string TMF::FileExt(std::string_view extension) const { return varnex::FileExt(extension); }

std::string TMF::ExpandVariables(std::string_view text, std::string_view path) {
  return ExpandDynamicVariables(std::string(text), path,
                                [this](std::string_view current, std::string_view name, std::string_view value) {
                                  return ReplaceStr(current, name, value, false);
                                });
}

LRESULT TMF::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_CLOSE:
      // A log that cannot be saved is reported, but never keeps the program open.
      try {
        FormClose();
      } catch (const std::exception& failure) {
        app_.ShowException(failure);
      }
      DestroyWindow(Handle());
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefaultHandling(message, wParam, lParam);
  }
}

void TMF::FormCreate() { activityLog_.Open(); }

void TMF::FormClose() { activityLog_.Close(); }

}  // namespace varnex
