// The floor for any Win32 program here: walks a folder tree, reads every file
// whole, and rewrites in place the ones that hold the find text, with the
// plainest replacement. Prints how long it took.
// Usage: bare_walk FOLDER FIND REPLACE

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

int seen = 0, changed = 0;

void Process(const std::string& path, const std::string& find, const std::string& replace) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  ++seen;
  LARGE_INTEGER size;
  GetFileSizeEx(file, &size);
  std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  std::size_t at = text.find(find);
  if (at != std::string::npos) {
    std::string result;
    result.reserve(text.size());
    std::size_t rest = 0;
    for (; at != std::string::npos; at = text.find(find, rest)) {
      result.append(text, rest, at - rest).append(replace);
      rest = at + find.size();
    }
    result.append(text, rest);
    DWORD written = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    WriteFile(file, result.data(), static_cast<DWORD>(result.size()), &written, nullptr);
    SetEndOfFile(file);
    ++changed;
  }
  CloseHandle(file);
}

// A folder is walked; a file is processed alone.
void Walk(const std::string& folder, const std::string& find, const std::string& replace) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Process(folder, find, replace);
    return;
  }
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Walk(path, find, replace);
    } else {
      Process(path, find, replace);
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bare_walk FOLDER FIND REPLACE\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  Walk(argv[1], argv[2], argv[3]);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.3f seconds: %d files read, %d rewritten\n", seconds, seen, changed);
}
