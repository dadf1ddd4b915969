#include "tests/support/temp_folder.h"

#include <algorithm>
#include <stdexcept>

#include "framework/handle.h"
#include "framework/unicode.h"
#include "framework/wholefile.h"

namespace varnex::testing {
namespace {

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(WidePath(folder + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = Utf8(entry.cFileName);
      if (name == "." || name == "..") continue;
      const std::wstring path = WidePath(folder + "\\" + name);
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        RemoveTree(folder + "\\" + name);
      else if (!DeleteFileW(path.c_str()))
        RemoveDirectoryW(path.c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(WidePath(folder).c_str());
}

std::string LinuxName(const std::string& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* const name = unixName != nullptr ? unixName(Wide(path).c_str()) : nullptr;
  if (name == nullptr) throw std::runtime_error("no Linux name for " + path);
  std::string converted(name);
  HeapFree(GetProcessHeap(), 0, name);
  return converted;
}

// Wine starts a Linux program by its path on Z:, and hands back no process to
// wait on: what it makes is waited for in the folder's listing.
void RunLinux(const std::string& program, const std::string& arguments, const std::string& folder,
              const std::string& made) {
  std::wstring line = Wide("Z:" + program + " " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  if (!CreateProcessW(Wide("Z:" + program).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    throw std::runtime_error("cannot start " + program);
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  for (int wait = 0; std::ranges::count(NamesIn(folder), made) == 0; ++wait) {
    if (wait == 500) throw std::runtime_error(program + " made no " + made);
    Sleep(10);
  }
}

}  // namespace

void MakeSymbolicLink(const std::string& folder, const std::string& name, const std::string& target) {
  RunLinux("/bin/ln", "-s \"" + target + "\" \"" + LinuxName(folder) + "/" + name + "\"", folder, name);
}

void MakeCaseTwin(const std::string& folder, const std::string& name, const std::string& source) {
  RunLinux("/bin/cp", "\"" + LinuxName(folder + "\\" + source) + "\" \"" + LinuxName(folder) + "/" + name + "\"", folder,
           name);
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, base);
  for (unsigned attempt = GetTickCount() ^ GetCurrentProcessId();; ++attempt) {
    path_ = Utf8(base) + "varnex-test-" + std::to_string(attempt);
    if (CreateDirectoryW(WidePath(path_).c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + path_);
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

CurrentDirectoryKept::CurrentDirectoryKept(const std::string& during) {
  kept_.resize(GetCurrentDirectoryW(0, nullptr));
  kept_.resize(GetCurrentDirectoryW(static_cast<DWORD>(kept_.size()), kept_.data()));
  if (!during.empty() && !SetCurrentDirectoryW(Wide(during).c_str()))
    throw std::runtime_error("Cannot move into " + during);
}

CurrentDirectoryKept::~CurrentDirectoryKept() { SetCurrentDirectoryW(kept_.c_str()); }

std::string ReadFileBytes(const std::string& path) {
  FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr));
  std::string bytes;
  if (!file || !ReadWholeFile(file.Get(), bytes)) throw std::runtime_error("cannot read " + path);
  return bytes;
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file || !WriteWholeBuffer(file.Get(), bytes)) throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(WidePath(folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = Utf8(entry.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace varnex::testing
