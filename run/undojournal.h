#pragma once
// The journal of the undo store: which files the last run changed, where it
// keeps their earlier bytes and what it left in their place. It is written a
// line at a time as the run goes, so it holds what was really done however the
// run ended. Every line carries a check of its own text: a journal that was
// edited or damaged is refused whole rather than half followed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

inline constexpr std::string_view kDamagedJournal =
    "The undo journal %s is damaged or was not written by Varnex. No file was changed";

struct UndoEntry {
  int number = 0;  // names the kept copy in the store
  std::string path;
  // What the run left at `path`.
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  // Known once the file was written; a run that ended between the two lines
  // may or may not have written it.
  std::optional<std::uint64_t> lastWrite;
};

struct UndoJournal {
  std::string runTime;  // as the activity log writes it
  std::vector<UndoEntry> entries;
};

// The name of the copy kept for entry `number`, inside the store.
std::string KeptCopyName(int number);

// The lines, each ending in CR LF: the journal's first line; an entry, before
// its file is written (lastWrite is not written here); and the line that says
// it was written.
std::string JournalStart(std::string_view runTime);
std::string JournalEntry(const UndoEntry& entry);
std::string JournalWritten(int number, std::uint64_t lastWrite);

// Raises Error(kDamagedJournal) with `name` for a journal not in the shape the
// lines above give. A last line without its line end was cut short by the
// end of the program, before its file was touched, and is passed over.
UndoJournal ReadJournal(std::string_view bytes, std::string_view name);

}  // namespace varnex
