#pragma once
// The rows of the folder list and the path rules they rest on, worked out from
// the path text alone: nothing here looks at the disk. Paths are 8-bit text in
// the system's code page; where a double-byte character could hide a byte that
// looks like "\", the functions take the code page's lead-byte test.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

// The kind of a folder-list row; the value is stored with the row.
enum TNewFolderKind : int {
  fkClosed = 0,   // a subdirectory of the current directory
  fkOpen = 1,     // the root or an ancestor of the current directory
  fkCurrent = 2,  // the current directory itself
};

// The case of the drive box's entries and of its drive letter.
enum TNewTextCase : int { tcLowerCase = 0, tcUpperCase = 1 };

struct DirectoryRow {
  std::string text;
  TNewFolderKind kind;
  bool operator==(const DirectoryRow&) const = default;
};

// True for the first byte of a double-byte character; null for a code page
// without them.
using LeadBytePredicate = bool (*)(unsigned char);

// C: for a drive path, \\server\share for a network path (the whole path when
// nothing follows the share name), otherwise empty.
std::string DrivePart(std::string_view path, LeadBytePredicate isLead = nullptr);

// dir and name with one "\" between them, none added when dir is empty or
// already ends with one.
std::string JoinPath(std::string_view dir, std::string_view name);

// How deep a path lies: C:\ is 1, C:\Windows 2, \\server\share\dir 2.
int DirectoryLevel(std::string_view path, LeadBytePredicate isLead = nullptr);

// The text after the last "\" or ":", or the whole path without either.
std::string_view LastComponent(std::string_view path, LeadBytePredicate isLead = nullptr);

// The root row, one open row per ancestor and the current row, for a
// directory such as C:\Windows\System or \\server\share\dir.
std::vector<DirectoryRow> AncestorRows(std::string_view directory);

// Keeps `sorted` ordered by `compare` (negative, zero or positive as strcmp)
// and drops a name that compares equal to one already there, so the first one
// offered wins.
using NameCompare = std::function<int(const std::string&, const std::string&)>;
void InsertSortedUnique(std::vector<std::string>& sorted, std::string name, const NameCompare& compare);

// The left edge of row `index`'s glyph: ancestors step 4 pixels per row, and
// every subdirectory sits one step right of the current row.
int RowIndent(const std::vector<DirectoryRow>& rows, int index, std::string_view directory,
              LeadBytePredicate isLead = nullptr);

// The full path that row `index` stands for, or empty outside the rows.
std::string GetItemPath(std::string_view directory, const std::vector<DirectoryRow>& rows, int index,
                        LeadBytePredicate isLead = nullptr);

// The drive box's entry: "A:" for a removable drive (its volume is not read),
// otherwise the letter, ": " and the volume label or network name, which may
// be empty. `letter` and `name` come already in the box's letter case.
std::string DriveEntryText(char letter, unsigned driveType, std::string_view name);

// Drive letter i (0 = a) in the box's letter case.
char DriveLetter(int index, TNewTextCase textCase);

// The ASCII capital of a letter; other characters unchanged.
char AsciiUpper(char c);

// The folder each drive was left in, so going back to a drive goes back there
// (Windows keeps one current folder per process, not one per drive).
class DriveFolders {
 public:
  // Notes a drive path (C:\Work) as its drive's folder; network paths have
  // no drive to come back to.
  void Remember(std::string_view directory);
  // The folder last noted for drive `letter`, whatever its case, or empty.
  std::string For(char letter) const;

 private:
  std::string folders_[26];
};

}  // namespace varnex
