#include "shell/application.h"

#include <vector>

#include "engine/error.h"
#include "engine/paths.h"

namespace varnex {
namespace {

constexpr ULONGLONG kMessageLookInterval = 10;  // milliseconds

}  // namespace

Application::Application(HINSTANCE instance, Services services) : instance_(instance), services_(services) {}

void Application::ShowException(const std::exception& failure) noexcept {
  try {
    services_.messageBoxes.Show(title_, WithFullStop(failure.what()), MB_OK | MB_ICONERROR);
  } catch (...) {
    // Nothing is left to report with.
  }
}

void Application::ProcessPendingMessages() {
  const ULONGLONG now = GetTickCount64();
  if (now - lastLook_ < kMessageLookInterval) return;
  lastLook_ = now;
  ProcessMessages();
}

void Application::ProcessMessages() {
  MSG message;
  while (!quitSeen_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The loop in Run ends the program once the work in hand has returned.
      quitSeen_ = true;
      exitCode_ = static_cast<int>(message.wParam);
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int Application::Run() {
  MSG message;
  while (!quitSeen_) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      exitCode_ = got == 0 ? static_cast<int>(message.wParam) : 1;
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return exitCode_;
}

std::string ProgramDirectory() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return std::string(ExtractFileDir(std::string_view(path.data(), length)));
    path.resize(path.size() * 2);
  }
}

}  // namespace varnex
