#include "framework/systemlibrary.h"

#include <string>

namespace varnex {
namespace {

// Windows 7 and Vista without the loader update of 2011 have neither this
// function nor the LOAD_LIBRARY_SEARCH_ flags: the one tells of the other.
decltype(SetDefaultDllDirectories)* SetDefaultDllDirectoriesOrNull() {
  return FunctionAs<decltype(SetDefaultDllDirectories)>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories"));
}

HMODULE LoadFromSystemFolder(const char* fileName) {
  if (SetDefaultDllDirectoriesOrNull() != nullptr) return LoadLibraryExA(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // By its full name; with the altered search, the DLLs it needs in turn are
  // looked for in its own folder, the system folder, before the program's.
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::string path = std::string(folder, length) + "\\" + fileName;
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void KeepDllSearchInSystemFolder() {
  if (const auto setDefault = SetDefaultDllDirectoriesOrNull()) {
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  } else {
    // Takes the current folder out of the search; the program's folder stays
    // in it there, which is why nothing is imported that could be found in it.
    SetDllDirectoryA("");
  }
}

SystemLibrary::SystemLibrary(const char* fileName) : module_(LoadFromSystemFolder(fileName)) {}

FARPROC SystemLibrary::Address(const char* name) const {
  return module_ ? GetProcAddress(module_.Get(), name) : nullptr;
}

}  // namespace varnex
