// A DLL planted under the name of a system DLL the program uses (winmm.dll,
// mpr.dll): if it is ever loaded, it leaves an empty file named after itself
// with ".loaded" added. It offers the functions the program takes from those
// DLLs, as a planted DLL that passes calls on would, so an older program that
// imports them starts with it in place.

#include <windows.h>

#include <string>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  const std::string mark = std::string(path, length) + ".loaded";
  const HANDLE file = CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}

__declspec(dllexport) UINT WINAPI waveOutGetNumDevs() { return 0; }

__declspec(dllexport) DWORD WINAPI WNetGetConnectionA(LPCSTR, LPSTR, LPDWORD) { return ERROR_NOT_CONNECTED; }

}  // extern "C"
