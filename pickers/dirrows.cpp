#include "pickers/dirrows.h"

#include <algorithm>

namespace varnex {
namespace {

bool IsLead(LeadBytePredicate isLead, char c) { return isLead != nullptr && isLead(static_cast<unsigned char>(c)); }

// Positions of every "\" in `path`, never the second byte of a double-byte character.
std::vector<std::size_t> Separators(std::string_view path, LeadBytePredicate isLead) {
  std::vector<std::size_t> found;
  for (std::size_t at = 0; at < path.size(); ++at) {
    if (IsLead(isLead, path[at])) {
      ++at;
    } else if (path[at] == '\\') {
      found.push_back(at);
    }
  }
  return found;
}

}  // namespace

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

void DriveFolders::Remember(std::string_view directory) {
  if (directory.size() < 2 || directory[1] != ':') return;
  const char letter = AsciiUpper(directory[0]);
  if (letter >= 'A' && letter <= 'Z') folders_[letter - 'A'] = directory;
}

std::string DriveFolders::For(char letter) const {
  letter = AsciiUpper(letter);
  return letter >= 'A' && letter <= 'Z' ? folders_[letter - 'A'] : std::string();
}

std::string DrivePart(std::string_view path, LeadBytePredicate isLead) {
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // \\server\share: the text before the separator that follows the share name.
    const std::vector<std::size_t> separators = Separators(path.substr(2), isLead);
    if (separators.size() >= 2) return std::string(path.substr(0, separators[1] + 2));
    return std::string(path);
  }
  return {};
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string joined(dir);
  if (!dir.empty() && dir.back() != '\\') joined += '\\';
  joined += name;
  return joined;
}

int DirectoryLevel(std::string_view path, LeadBytePredicate isLead) {
  std::string full(path);
  if (!full.empty() && full.back() != '\\') full += '\\';
  const bool network = full.size() >= 2 && full[0] == '\\' && full[1] == '\\';
  return (network ? -3 : 0) + static_cast<int>(Separators(full, isLead).size());
}

std::string_view LastComponent(std::string_view path, LeadBytePredicate isLead) {
  std::size_t start = 0;
  for (std::size_t at = 0; at < path.size(); ++at) {
    if (IsLead(isLead, path[at])) {
      ++at;
    } else if (path[at] == '\\' || path[at] == ':') {
      start = at + 1;
    }
  }
  return path.substr(std::min(start, path.size()));
}

std::vector<DirectoryRow> AncestorRows(std::string_view directory) {
  std::vector<DirectoryRow> rows;
  const std::string root = DrivePart(directory) + "\\";
  std::string rest;
  bool first = true;
  if (root.size() >= 2 && root[1] == '\\') {
    rest = root.size() < directory.size() ? std::string(directory.substr(root.size())) : std::string();
    rows.push_back({root, rest.empty() ? fkCurrent : fkOpen});
    first = false;
  } else {
    rest = directory;
  }
  if (rest.empty()) return rows;
  if (rest.back() != '\\') {
    for (std::size_t separator = rest.find('\\'); separator != std::string::npos; separator = rest.find('\\')) {
      std::string name = rest.substr(0, separator);
      if (first) {
        name += '\\';  // the drive's root row, C:\ .
        first = false;
      }
      rest.erase(0, separator + 1);
      rows.push_back({std::move(name), fkOpen});
    }
  }
  rows.push_back({std::move(rest), fkCurrent});
  return rows;
}

void InsertSortedUnique(std::vector<std::string>& sorted, std::string name, const NameCompare& compare) {
  const auto at = std::lower_bound(sorted.begin(), sorted.end(), name,
                                   [&](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
  if (at != sorted.end() && compare(*at, name) == 0) return;
  sorted.insert(at, std::move(name));
}

int RowIndent(const std::vector<DirectoryRow>& rows, int index, std::string_view directory,
              LeadBytePredicate isLead) {
  if (index >= 0 && index < static_cast<int>(rows.size()) && rows[index].kind == fkClosed) {
    return 4 + 4 * DirectoryLevel(directory, isLead);
  }
  return 4 + 4 * index;
}

std::string GetItemPath(std::string_view directory, const std::vector<DirectoryRow>& rows, int index,
                        LeadBytePredicate isLead) {
  if (index < 0 || index >= static_cast<int>(rows.size())) return {};
  const std::string drive = DrivePart(directory, isLead);
  if (index == 0) return drive + "\\";
  const DirectoryRow& row = rows[index];
  if (row.kind == fkClosed) return JoinPath(directory, row.text);
  if (row.kind == fkCurrent) return std::string(directory);
  // An ancestor: the directory cut before the (index + 1)-th separator after the drive.
  const std::string_view rest = directory.substr(std::min(drive.size(), directory.size()));
  const std::vector<std::size_t> separators = Separators(rest, isLead);
  const std::size_t end = static_cast<std::size_t>(index) < separators.size() ? separators[index] : rest.size();
  return drive + std::string(rest.substr(0, end));
}

std::string DriveEntryText(char letter, unsigned driveType, std::string_view name) {
  constexpr unsigned kRemovable = 2;
  std::string text{letter, ':'};
  if (driveType == kRemovable) return text;
  text += ' ';
  text += name;
  return text;
}

char DriveLetter(int index, TNewTextCase textCase) {
  const char lower = static_cast<char>('a' + index);
  return textCase == tcUpperCase ? AsciiUpper(lower) : lower;
}

}  // namespace varnex
