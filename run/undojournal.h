#pragma once
// The journal of an undo store: which files a run changed, where in the
// store's pack their earlier bytes are and what the run left in their place.
// It is written a line at a time as the run goes, so it holds what was really
// done however the run ended, and an undo adds a line for each file it is done
// with, so one cut short or unable to write a file leaves the rest for another
// try. Every line carries a check of its own text: a journal that was edited
// or damaged is refused whole rather than half followed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

inline constexpr std::string_view kDamagedJournal =
    "The undo journal %s is damaged or was not written by Varnex. No file was changed";

struct UndoEntry {
  int number = 0;  // 1 for the first file, and so on
  std::string path;
  // Where the earlier bytes are: a file of their own in the store (a big
  // file's original, linked there rather than copied), or a stretch of the
  // pack right behind that of the entry before.
  bool linked = false;
  std::uint64_t offset = 0;  // 0 for a linked one
  std::uint64_t length = 0;
  // What the run left at `path`.
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  // Known once the file was written; a run that ended between the two lines
  // may or may not have written it.
  std::optional<std::uint64_t> lastWrite;
  // The StrongHash of the earlier bytes, checked before they go back; empty
  // in a journal of an earlier version, which kept none.
  std::string originalHash;
  // A write over the file in place (it has other names, or is reached through
  // a symbolic link) was begun, by the run or an undo, and not seen through:
  // the file may hold part of one text and part of the other.
  bool inPlaceBegun = false;
};

struct UndoJournal {
  std::string runTime;  // as the activity log writes it
  // Written by a build that named files in the ANSI code page: the entries'
  // paths are in it, not in UTF-8.
  bool ansiNames = false;
  // Those an undo is not yet done with.
  std::vector<UndoEntry> entries;
  // The new files the run and its undos were about to make beside the files
  // they wrote, each named before it was made: where one ended by force, a
  // file of that name may be left over, or none.
  std::vector<std::string> temporaries;
};

// Whether the run wrote the entry's file, whole or in part; and any of its files.
bool RunWroteFile(const UndoEntry& entry);
bool AnyWritten(const UndoJournal& journal);

// The name of a linked original's file in the store.
std::string LinkedCopyName(int number);

// The lines, each ending in CR LF: the journal's first line; an entry, before
// its file is written (lastWrite is not written here); the line before its
// file is written over in place, on the disk before the first byte changes;
// the line that says it was written; and the line of an undo that is done
// with it (restored, or found changed since).
std::string JournalStart(std::string_view runTime);
std::string JournalEntry(const UndoEntry& entry);
std::string JournalInPlace(int number);
std::string JournalWritten(int number, std::uint64_t lastWrite);
std::string JournalDone(int number);
// The line before a new file is made at `path` (`ours`), and the one after
// none could be made there: that name is someone else's.
std::string JournalTemporary(std::string_view path, bool ours);

// Raises Error(kDamagedJournal) with `name` for a journal not in the shape the
// lines above give. A last line without its line end was cut short by the
// end of the program, before its file was touched, and is passed over. The
// entries follow each other through the pack from its start.
UndoJournal ReadJournal(std::string_view bytes, std::string_view name);

}  // namespace varnex
