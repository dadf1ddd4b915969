// The floor for any Win32 program here: walks a folder tree, reads every file
// whole, and rewrites the ones that hold the find text, with the plainest
// replacement: in place, or with --safe as the program writes on Windows (a
// new file beside the original that then takes its place through
// ReplaceFileA, so the original is never half written), or with --rename as it
// writes under Wine (the same new file, put in place by one rename over the
// original). Prints how long it took.
// With --keep, the safe walk also keeps every original in a store folder, as
// the program's undo store does, in one of three ways: "copy" writes the bytes
// read into the store before the replace; "move" lets ReplaceFileA move the
// original to a name beside the file and then moves it into the store (what
// the program does); "direct" gives ReplaceFileA the store's name as its
// backup name. With --rename, only "copy" goes: the original and then the new
// file written and flushed before the rename, the program's protocol with its
// undo store on another volume than the files.
// Usage: bare_walk [--safe | --rename] [--keep copy|move|direct STORE] FOLDER FIND REPLACE

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

int seen = 0, changed = 0;
bool safe = false;
bool renaming = false;
std::string keep;  // "", copy, move or direct
std::string store;

// Flushed, a copy or a new file is on the disk before anything depends on it.
bool WriteNew(const std::string& path, const std::string& bytes, bool flush = false) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (flush) FlushFileBuffers(file);
  CloseHandle(file);
  return true;
}

void WriteSafely(const std::string& path, const std::string& bytes, const std::string& original) {
  const std::string folder = path.substr(0, path.rfind('\\') + 1);
  const std::string temporary = folder + "~bw.tmp";
  const std::string kept = store + "\\" + std::to_string(changed) + ".orig";
  if (renaming) {
    // The program's order: the original kept, then the new file, each on the
    // disk before the original's place is taken.
    if (keep == "copy" && !WriteNew(kept, original, true)) return;
    if (!WriteNew(temporary, bytes, true)) return;
    MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    return;
  }
  if (!WriteNew(temporary, bytes)) return;
  if (keep == "copy") WriteNew(kept, original);
  if (keep == "copyfile") CopyFileA(path.c_str(), kept.c_str(), FALSE);
  const std::string backup = keep == "move" ? folder + "~bwb.tmp" : keep == "direct" ? kept : "";
  if (!ReplaceFileA(path.c_str(), temporary.c_str(), backup.empty() ? nullptr : backup.c_str(),
                    REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    DeleteFileA(temporary.c_str());
    return;
  }
  if (keep == "move") MoveFileExA(backup.c_str(), kept.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING);
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
      WriteSafely(path, result, text);
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
  for (; argc > 4; --argc, ++argv) {
    const std::string option = argv[1];
    if (option == "--safe" || option == "--rename") {
      safe = true;
      renaming = option == "--rename";
    } else if (option == "--keep" && argc > 6) {
      safe = true;
      keep = argv[2];
      store = argv[3];
      argc -= 2;
      argv += 2;
    } else {
      break;
    }
  }
  if (argc != 4 || (renaming && !(keep.empty() || keep == "copy")) ||
      !(keep.empty() || keep == "copy" || keep == "copyfile" || keep == "move" || keep == "direct")) {
    std::fprintf(stderr, "usage: bare_walk [--safe | --rename] [--keep copy|move|direct STORE] FOLDER FIND REPLACE\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  Walk(argv[1], argv[2], argv[3]);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.3f seconds: %d files read, %d rewritten\n", seconds, seen, changed);
}
