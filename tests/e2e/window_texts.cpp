// Prints the texts of the controls of a window of the program under test, one
// "id text" line each, in UTF-8: what the end-to-end checks cannot read off the
// screen. Usage: window_texts CAPTION

#include <windows.h>

#include <cstdio>
#include <string>

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
        wchar_t text[512] = L"";
        const int length =
            static_cast<int>(SendMessageW(child, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text)));
        std::string utf8(static_cast<std::size_t>(length) * 3, '\0');
        utf8.resize(static_cast<std::size_t>(
            WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
        std::printf("%d %s\n", GetDlgCtrlID(child), utf8.c_str());
        return TRUE;
      },
      0);
  return 0;
}
