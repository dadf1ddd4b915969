// Prints the texts of the controls of a window of the program under test, one
// "id text" line each: what the end-to-end checks cannot read off the screen.
// Usage: window_texts CAPTION

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_texts CAPTION\n");
    return 2;
  }
  HWND window = FindWindowA(nullptr, argv[1]);
  if (window == nullptr) return 1;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM) -> BOOL {
        // GetWindowTextA reads only a caption of another process's window,
        // not what its edit control holds; the message is carried across.
        char text[512] = "";
        SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        std::printf("%d %s\n", GetDlgCtrlID(child), text);
        return TRUE;
      },
      0);
  return 0;
}
