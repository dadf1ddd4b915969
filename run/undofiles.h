#pragma once
// The files of one undo store and how they are opened, shared by the store,
// its recording and its restore.

#include <string>
#include <string_view>

#include "framework/filesystem.h"
#include "framework/handle.h"

namespace varnex {

inline constexpr std::string_view kJournalName = "journal.txt";
inline constexpr std::string_view kPackName = "originals.dat";

inline std::string InStore(const std::string& folder, std::string_view name) {
  return folder + "\\" + std::string(name);
}

// The journal held: read and added to by this copy, read by others, written
// and removed by no one else. `disposition` makes it or opens it.
inline FileHandle OpenJournal(FileSystem& files, const std::string& folder, DWORD disposition) {
  return files.Open(InStore(folder, kJournalName), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, disposition,
                    FILE_ATTRIBUTE_NORMAL);
}

}  // namespace varnex
