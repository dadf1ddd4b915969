#include "framework/application.h"

#include <utility>
#include <vector>

#include "engine/error.h"
#include "engine/paths.h"
#include "framework/unicode.h"

namespace varnex {
namespace {

constexpr ULONGLONG kMessageLookInterval = 10;  // milliseconds

bool IsKeyPress(UINT message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_SYSCHAR; }

}  // namespace

Application::Application(HINSTANCE instance, Services services, TickClock clock)
    : instance_(instance), services_(services), boxes_(services.messageBoxes), clock_(std::move(clock)) {}

Application::BusyCursor::BusyCursor(Application& application) : app_(application) {
  ++app_.busy_;
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

Application::BusyCursor::~BusyCursor() {
  --app_.busy_;
  // The window under the pointer sets its own pointer again.
  POINT pointer;
  GetCursorPos(&pointer);
  SetCursorPos(pointer.x, pointer.y);
}

void Application::ShowException(const std::exception& failure) noexcept {
  try {
    boxes_.Show(title_, WithFullStop(failure.what()), MB_OK | MB_ICONERROR);
  } catch (...) {
    // Nothing is left to report with.
  }
}

void Application::ProcessPendingMessages() {
  const ULONGLONG now = clock_();
  if (now - lastLook_ < kMessageLookInterval) return;
  lastLook_ = now;
  ProcessMessages();
}

void Application::ProcessMessages() {
  MSG message;
  while (!quitSeen_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The loop in Run ends the program once the work in hand has returned.
      quitSeen_ = true;
      exitCode_ = static_cast<int>(message.wParam);
      break;
    }
    Dispatch(message);
  }
}

void Application::Dispatch(MSG& message) {
  HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && IsKeyPress(message.message) &&
      SendMessageW(root, kKeyPreview, 0, reinterpret_cast<LPARAM>(&message)) != 0) {
    return;
  }
  if (root != nullptr && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int Application::Run() {
  MSG message;
  while (!quitSeen_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      exitCode_ = got == 0 ? static_cast<int>(message.wParam) : 1;
      break;
    }
    Dispatch(message);
  }
  return exitCode_;
}

void Application::RunModalLoop(const std::function<bool()>& done) {
  MSG message;
  while (!quitSeen_ && !done()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // The program is ending: leave the quit message for the main loop.
      PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 1);
      return;
    }
    Dispatch(message);
  }
}

void Application::OpenInNotepad(const std::string& path, UINT showCommand) const {
  wchar_t windowsDirectory[145];
  const UINT length = GetWindowsDirectoryW(windowsDirectory, 145);
  try {
    services_.programs.Exec(Utf8(std::wstring_view(windowsDirectory, length < 145 ? length : 0)) +
                                "\\NOTEPAD.EXE " + path,
                            showCommand);
  } catch (...) {
    // Starting the editor never reports anything.
  }
}

ModalScope::ModalScope(HWND modal) {
  struct Walk {
    HWND modal;
    std::vector<HWND>& disabled;
  } walk{modal, disabled_};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM context) -> BOOL {
        Walk& state = *reinterpret_cast<Walk*>(context);
        if (window != state.modal && IsWindowEnabled(window)) {
          EnableWindow(window, FALSE);
          state.disabled.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
}

ModalScope::~ModalScope() {
  for (HWND window : disabled_) EnableWindow(window, TRUE);
}

std::string ProgramDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return std::string(ExtractFileDir(Utf8(std::wstring_view(path.data(), length))));
    path.resize(path.size() * 2);
  }
}

}  // namespace varnex
