#include "framework/systemlibrary.h"

#include <string>

#include "framework/unicode.h"

namespace varnex {
namespace {

// Windows 7 and Vista without the loader update of 2011 have neither this
// function nor the LOAD_LIBRARY_SEARCH_ flags: the one tells of the other.
decltype(SetDefaultDllDirectories)* SetDefaultDllDirectoriesOrNull() {
  return FunctionAs<decltype(SetDefaultDllDirectories)>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"));
}

HMODULE LoadFromSystemFolder(const char* fileName) {
  const std::wstring name = Wide(fileName);
  if (SetDefaultDllDirectoriesOrNull() != nullptr) {
    return LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  // By its full name; with the altered search, the DLLs it needs in turn are
  // looked for in its own folder, the system folder, before the program's.
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void KeepDllSearchInSystemFolder() {
  if (const auto setDefault = SetDefaultDllDirectoriesOrNull()) {
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  } else {
    // Takes the current folder out of the search; the program's folder stays
    // in it there, which is why nothing is imported that could be found in it.
    SetDllDirectoryW(L"");
  }
}

SystemLibrary::SystemLibrary(const char* fileName) : module_(LoadFromSystemFolder(fileName)) {}

FARPROC SystemLibrary::Address(const char* name) const {
  return module_ ? GetProcAddress(module_.Get(), name) : nullptr;
}

}  // namespace varnex
