// The floor for any Win32 program here: walks a folder tree, reads every file
// whole, and rewrites the ones that hold the find text, with the plainest
// replacement: in place, or with --safe as the program writes (a new file
// beside the original that then takes its place through ReplaceFileA, so the
// original is never half written). Prints how long it took.
// Usage: bare_walk [--safe] FOLDER FIND REPLACE

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

int seen = 0, changed = 0;
bool safe = false;

void WriteSafely(const std::string& path, const std::string& bytes) {
  const std::string temporary = path.substr(0, path.rfind('\\') + 1) + "~bw.tmp";
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ReplaceFileA(path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    DeleteFileA(temporary.c_str());
  }
}

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
    if (safe) {
      CloseHandle(file);
      WriteSafely(path, result);
      ++changed;
      return;
    }
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
  safe = argc == 5 && std::string(argv[1]) == "--safe";
  if (argc != 4 && !safe) {
    std::fprintf(stderr, "usage: bare_walk [--safe] FOLDER FIND REPLACE\n");
    return 2;
  }
  if (safe) ++argv;
  const auto start = std::chrono::steady_clock::now();
  Walk(argv[1], argv[2], argv[3]);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.3f seconds: %d files read, %d rewritten\n", seconds, seen, changed);
}
