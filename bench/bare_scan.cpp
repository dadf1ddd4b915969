// The floor for a directory scan here: a plain recursive find-first/find-next
// walk that counts the entries matching a mask, each folder listed once for
// the mask and once for its subfolders, as a scan does. Prints how long it took.
// Usage: bare_scan FOLDER MASK

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

int found = 0;

void Walk(const std::string& folder, const std::string& mask) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + mask).c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name != "." && name != "..") ++found;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  search = FindFirstFileA((folder + "*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != ".." && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      Walk(folder + name + "\\", mask);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bare_scan FOLDER MASK\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  Walk(std::string(argv[1]) + "\\", argv[2]);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.3f seconds: %d matches\n", seconds, found);
}
