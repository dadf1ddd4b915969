// Prints the texts of the controls of a window of the program under test, one
// "id text" line each, in UTF-8: what the end-to-end checks cannot read off the
// screen. Usage: window_texts CAPTION (ASCII)

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
        // GetWindowText reads only a caption of another process's window,
        // not what its edit control holds; the message is carried across.
        wchar_t text[4096] = L"";
        const int length = static_cast<int>(
            SendMessageW(child, WM_GETTEXT, sizeof text / sizeof *text, reinterpret_cast<LPARAM>(text)));
        char utf8[4 * sizeof text / sizeof *text];
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("%d %.*s\n", GetDlgCtrlID(child), bytes, utf8);
        return TRUE;
      },
      0);
  return 0;
}
