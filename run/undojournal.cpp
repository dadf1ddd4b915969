#include "run/undojournal.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

#include "engine/contenthash.h"
#include "engine/error.h"

namespace varnex {
namespace {

constexpr std::string_view kMagic = "Varnex undo journal";
// Journals of version 1 name files in the ANSI code page, of 2 and later in
// UTF-8; those of 3 and later carry a strong hash of every original; those of
// 4 say when a file is about to be written over in place (an earlier build
// refuses such a journal whole rather than take a torn file for one the run
// never touched).
constexpr std::string_view kVersion = "4";
constexpr std::string_view kInPlaceUnsaidVersion = "3";
constexpr std::string_view kUnhashedVersion = "2";
constexpr std::string_view kAnsiVersion = "1";
constexpr std::size_t kStrongHashDigits = 64;
constexpr char kEntryTag = 'F';
constexpr char kInPlaceTag = 'I';
constexpr char kWrittenTag = 'W';
constexpr char kDoneTag = 'D';
constexpr char kTemporaryTag = 'T';
constexpr char kNotTemporaryTag = 'N';
constexpr char kTags[] = "FIWDTN";

std::string Hex(std::uint64_t value) {
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(value));
  return digits;
}

// The fields joined with tabs (no file name holds one), then the check.
std::string Line(std::initializer_list<std::string_view> fields) {
  std::string line;
  for (std::string_view field : fields) {
    if (!line.empty()) line += '\t';
    line += field;
  }
  line += '\t';
  line += Hex(ContentHash(line));
  line += "\r\n";
  return line;
}

class Reader {
 public:
  explicit Reader(std::string_view name) : name_(name) {}

  [[noreturn]] void Damaged() const { throw Error::Format(kDamagedJournal, name_); }

  // The fields of a line whose check holds. A line cut short (a full disk)
  // and followed by one written after it make one line that holds the later
  // line whole at its end: that line is taken, the cut one passed over.
  std::vector<std::string_view> Fields(std::string_view line) const {
    for (std::size_t tag = line.size(); !Checked(line);) {
      tag = tag < 2 ? std::string_view::npos : line.find_last_of(kTags, tag - 2);
      if (tag == std::string_view::npos || tag == 0) Damaged();
      if (line[tag + 1] == '\t' && Checked(line.substr(tag))) line.remove_prefix(tag);
    }
    const std::size_t lastTab = line.rfind('\t');
    std::vector<std::string_view> fields;
    std::string_view rest = line.substr(0, lastTab);
    for (std::size_t tab; (tab = rest.find('\t')) != std::string_view::npos; rest.remove_prefix(tab + 1)) {
      fields.push_back(rest.substr(0, tab));
    }
    fields.push_back(rest);
    return fields;
  }

  static bool Checked(std::string_view line) {
    const std::size_t lastTab = line.rfind('\t');
    return lastTab != std::string_view::npos && line.substr(lastTab + 1) == Hex(ContentHash(line.substr(0, lastTab + 1)));
  }

  std::uint64_t Number(std::string_view text, int base = 10) const {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) Damaged();
    return value;
  }

 private:
  std::string_view name_;
};

// A full path as the run names files: a drive or a share, and no step that
// leads anywhere but down.
bool IsPlainFullPath(std::string_view path) {
  const bool drive = path.size() > 3 && path[1] == ':' && path[2] == '\\' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  const bool share = path.size() > 4 && path.starts_with("\\\\") && path[2] != '\\';
  if (!drive && !share) return false;
  if (path.find('/') != std::string_view::npos || path.ends_with('\\')) return false;
  for (std::string_view step : {"\\.\\", "\\..\\"}) {
    if (path.find(step) != std::string_view::npos) return false;
  }
  return !path.ends_with("\\.") && !path.ends_with("\\..");
}

}  // namespace

bool RunWroteFile(const UndoEntry& entry) { return entry.lastWrite || entry.inPlaceBegun; }

bool AnyWritten(const UndoJournal& journal) {
  return std::any_of(journal.entries.begin(), journal.entries.end(), RunWroteFile);
}

std::string LinkedCopyName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "%08d.orig", number);
  return name;
}

std::string JournalStart(std::string_view runTime) { return Line({kMagic, kVersion, runTime}); }

std::string JournalEntry(const UndoEntry& entry) {
  return Line({std::string_view(&kEntryTag, 1), std::to_string(entry.number), entry.linked ? "L" : "P",
               std::to_string(entry.offset),
               std::to_string(entry.length), entry.originalHash, std::to_string(entry.size), Hex(entry.hash), entry.path});
}

std::string JournalInPlace(int number) { return Line({std::string_view(&kInPlaceTag, 1), std::to_string(number)}); }

std::string JournalWritten(int number, std::uint64_t lastWrite) {
  return Line({std::string_view(&kWrittenTag, 1), std::to_string(number), Hex(lastWrite)});
}

std::string JournalDone(int number) { return Line({std::string_view(&kDoneTag, 1), std::to_string(number)}); }

std::string JournalTemporary(std::string_view path, bool ours) {
  return Line({std::string_view(ours ? &kTemporaryTag : &kNotTemporaryTag, 1), path});
}

UndoJournal ReadJournal(std::string_view bytes, std::string_view name) {
  const Reader reader(name);
  UndoJournal journal;
  std::set<std::string> paths;
  std::uint64_t packEnd = 0;
  std::set<std::uint64_t> done;
  bool first = true;
  bool hashed = false;
  bool inPlaceSaid = false;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find("\r\n");
    if (end == std::string_view::npos) break;  // cut short: its file was not touched
    const std::vector<std::string_view> fields = reader.Fields(bytes.substr(0, end));
    bytes.remove_prefix(end + 2);
    if (first) {
      if (fields.size() != 3 || fields[0] != kMagic ||
          (fields[1] != kVersion && fields[1] != kInPlaceUnsaidVersion && fields[1] != kUnhashedVersion &&
           fields[1] != kAnsiVersion))
        reader.Damaged();
      journal.ansiNames = fields[1] == kAnsiVersion;
      inPlaceSaid = fields[1] == kVersion;
      hashed = inPlaceSaid || fields[1] == kInPlaceUnsaidVersion;
      journal.runTime = fields[2];
      first = false;
      continue;
    }
    if (fields.size() == (hashed ? 9u : 8u) && fields[0] == std::string_view(&kEntryTag, 1)) {
      UndoEntry entry;
      std::vector<std::string_view> rest(fields.begin() + 5, fields.end());
      if (hashed) {
        entry.originalHash = rest.front();
        if (entry.originalHash.size() != kStrongHashDigits) reader.Damaged();
        reader.Number(entry.originalHash.substr(0, 16), 16);
        rest.erase(rest.begin());
      }
      // Numbered in turn, and each one's bytes behind the last one's: no
      // entry can give a file another's bytes.
      if (reader.Number(fields[1]) != journal.entries.size() + 1) reader.Damaged();
      entry.number = static_cast<int>(journal.entries.size()) + 1;
      if (fields[2] != "L" && fields[2] != "P") reader.Damaged();
      entry.linked = fields[2] == "L";
      entry.offset = reader.Number(fields[3]);
      entry.length = reader.Number(fields[4]);
      if (entry.offset != (entry.linked ? 0 : packEnd)) reader.Damaged();
      if (!entry.linked) packEnd += entry.length;
      entry.size = reader.Number(rest[0]);
      if (rest[1].size() != 16) reader.Damaged();
      entry.hash = reader.Number(rest[1], 16);
      entry.path = rest[2];
      // Spelt alike: names that differ in letter case alone may be two files
      // of a case-sensitive folder, each written by the run.
      if (!IsPlainFullPath(entry.path) || !paths.insert(entry.path).second) reader.Damaged();
      journal.entries.push_back(std::move(entry));
    } else if (inPlaceSaid && fields.size() == 2 && fields[0] == std::string_view(&kInPlaceTag, 1)) {
      const std::uint64_t number = reader.Number(fields[1]);
      if (number == 0 || number > journal.entries.size()) reader.Damaged();
      journal.entries[number - 1].inPlaceBegun = true;
    } else if (fields.size() == 3 && fields[0] == std::string_view(&kWrittenTag, 1)) {
      const std::uint64_t number = reader.Number(fields[1]);
      if (number == 0 || number > journal.entries.size() || fields[2].size() != 16) reader.Damaged();
      UndoEntry& written = journal.entries[number - 1];
      if (written.lastWrite) reader.Damaged();
      written.lastWrite = reader.Number(fields[2], 16);
      // The run's write in place, if it was one, was seen through; a later
      // line of the kind is an undo's.
      written.inPlaceBegun = false;
    } else if (fields.size() == 2 && fields[0] == std::string_view(&kDoneTag, 1)) {
      const std::uint64_t number = reader.Number(fields[1]);
      if (number == 0 || number > journal.entries.size() || !done.insert(number).second) reader.Damaged();
    } else if (fields.size() == 2 && fields[0] == std::string_view(&kTemporaryTag, 1)) {
      if (!IsPlainFullPath(fields[1])) reader.Damaged();
      journal.temporaries.emplace_back(fields[1]);
    } else if (fields.size() == 2 && fields[0] == std::string_view(&kNotTemporaryTag, 1)) {
      // Its line before may have been torn away: nothing to take back then.
      const auto named = std::find(journal.temporaries.rbegin(), journal.temporaries.rend(), fields[1]);
      if (named != journal.temporaries.rend()) journal.temporaries.erase(std::next(named).base());
    } else {
      reader.Damaged();
    }
  }
  std::erase_if(journal.entries, [&](const UndoEntry& entry) { return done.contains(entry.number); });
  return journal;  // without even its first line: the run ended before it changed a file
}

}  // namespace varnex
