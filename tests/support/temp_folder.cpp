#include "tests/support/temp_folder.h"

#include <algorithm>
#include <stdexcept>

#include <gtest/gtest.h>

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

}  // namespace

void MakeInLinux(const std::string& folder, const std::string& command, const std::string& made) {
  std::wstring line = Wide("Z:" + command);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, Wide(folder).c_str(), &startup,
                             &started));
  CloseHandle(started.hThread), CloseHandle(started.hProcess);
  for (int wait = 0; std::ranges::count(NamesIn(folder), made) == 0; ++wait) {
    ASSERT_LT(wait, 500) << command;
    Sleep(10);
  }
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
