// The floor for a directory scan here: a plain recursive find-first/find-next
// walk that lists each folder once and counts the entries whose names match a
// mask (PathMatchSpecA), walking the subfolders after. Prints how long it took.
// Usage: bare_scan FOLDER MASK

#include <windows.h>
#include <shlwapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int found = 0;

void Walk(const std::string& folder, const std::string& mask) {
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> subfolders;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    if (PathMatchSpecA(name.c_str(), mask.c_str())) ++found;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) subfolders.push_back(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  for (const std::string& name : subfolders) Walk(folder + name + "\\", mask);
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
