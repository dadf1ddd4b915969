#include "run/batchrun.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "engine/error.h"
#include "engine/paths.h"
#include "engine/textlines.h"
#include "framework/safereplace.h"
#include "framework/unicode.h"
#include "run/filetext.h"
#include "run/readahead.h"
#include "run/replacer.h"
#include "run/targetfile.h"

namespace varnex {

std::string PathIdentity(const std::string& path) {
  // Upper case by characters: by bytes, the code page would take parts of
  // UTF-8 characters for letters, and two names could come out alike.
  std::wstring full = Wide(FullPathName(path));
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  return Utf8(full);
}

namespace {

// A file that would be changed but cannot take the replace text: it is left
// as it was rather than given a stand-in character.
constexpr std::string_view kReplaceTextNotInCodePage =
    "Cannot replace in file %s: the replace text has characters that the file's ANSI code page cannot hold";

class Refused : public Error {
 public:
  using Error::Error;
};

// The entries the run may write before their turn come: a file listed again,
// and an earlier file's backup. They are not read ahead, or the read could
// keep the run from writing them.
std::vector<bool> ReadableAhead(const std::vector<std::string>& identities) {
  std::vector<bool> ahead(identities.size());
  std::unordered_set<std::string_view> earlier;
  for (std::size_t index = 0; index < identities.size(); ++index) {
    const std::string_view identity = identities[index];
    const bool backup = identity.ends_with(".BAK") && earlier.contains(identity.substr(0, identity.size() - 4));
    ahead[index] = !backup && earlier.insert(identity).second;
  }
  return ahead;
}

// Whether `a` and `b` name one file now: the same volume and number, and the
// same size and last write, as one file has whatever it is called. (Wine gives
// every volume whose serial it cannot read the serial 0, and numbers files by
// their Linux inodes, which repeat from one Linux file system to the next.)
bool SameFile(FileSystem& files, const std::string& a, const std::string& b) {
  const FileHandle first = LookAt(files, a), second = LookAt(files, b);
  FileIdentity firstIdentity, secondIdentity;
  FileStamp firstStamp, secondStamp;
  return first && second && files.Identity(first.Get(), firstIdentity) &&
         files.Identity(second.Get(), secondIdentity) && files.Stamp(first.Get(), firstStamp) &&
         files.Stamp(second.Get(), secondStamp) && firstIdentity == secondIdentity && firstStamp == secondStamp;
}

// The files the run has had, by their numbers on their volumes (a read's
// stamp has it for nothing): the file each entry was read as and, where the
// run wrote it, the new file. A number seen before is rare (the same file, or
// files on two volumes); only then are the two names looked at, each opened
// once more. Two names of one file are two names of one file still: the same
// file as an earlier entry's by its short name or another drive letter
// reaches the new file once that entry is written. A hard link that the
// rewrite parted from it names the original still, and is a file of its own.
class FilesHad {
 public:
  FilesHad(const std::vector<std::string>& paths, FileSystem& files) : paths_(paths), files_(files) {}

  bool Repeats(std::size_t entry, ULONGLONG number) {
    if (number == 0) return false;  // a file system without numbers
    const auto [first, last] = entries_.equal_range(number);
    return std::any_of(first, last, [&](const auto& had) {
      return SameFile(files_, paths_[entry], paths_[had.second]);
    });
  }
  void Add(std::size_t entry, ULONGLONG number) {
    if (number != 0) entries_.emplace(number, entry);
  }

 private:
  const std::vector<std::string>& paths_;
  FileSystem& files_;
  std::unordered_multimap<ULONGLONG, std::size_t> entries_;
};

bool HoldsLineBreak(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

// What a run works with, for each of its files.
struct RunParts {
  FileSystem& files;
  Replacer& replacer;
  ActivityLog& log;
  BatchRunHost& host;
  UndoRecording* undo;
  ReadAhead& ahead;
};

// Once a file's text has changed the run writes (its log line, its backup,
// the file): however far it gets, the files read ahead before are looked at
// again.
class Writes {
 public:
  explicit Writes(ReadAhead& ahead) : ahead_(ahead) {}
  ~Writes() { ahead_.RunWrote(); }
  Writes(const Writes&) = delete;
  Writes& operator=(const Writes&) = delete;

 private:
  ReadAhead& ahead_;
};

// Processes the file at `path`; the new file's stamp when it was changed and
// written. Raises an error on any failure: the file is then left as it was.
// Where the undo store needs the bytes as read, they stay in hand until the
// file is written: a file that is its own text, line ends and all, is searched
// as it is, the result taking new memory, and another one is converted into a
// copy. Otherwise the bytes become the text where they lie. The text is then
// replaced where it lies unless the replacement grows it.
std::optional<FileStamp> ProcessTargetFile(const std::string& path, TargetFile file, const RunParts& run) {
  TextEncoding encoding = file.encoding;
  const bool holdOriginal = run.undo != nullptr && !UndoRecording::TakesFromFile(file.stamp.size);
  const bool searchedAsRead =
      (encoding == TextEncoding::kAnsi || encoding == TextEncoding::kUtf8) && file.inLineShape;
  std::string findText = run.host.FindText();
  std::string replaceText = run.host.ReplaceText();
  if (run.host.Options().dynamicVariables) {
    findText = run.replacer.ExpandVariables(findText, path);
    replaceText = run.replacer.ExpandVariables(replaceText, path);
  }
  std::string find, replace;
  bool findFits = ToFileText(findText, encoding, find);
  bool replaceFits = ToFileText(replaceText, encoding, replace);
  // A file of ASCII alone is as much UTF-8 as ANSI: it takes the texts its
  // code page cannot hold as UTF-8, and stays as it was where they do not match.
  if (!(findFits && replaceFits) && encoding == TextEncoding::kAnsi && IsAscii(file.bytes)) {
    encoding = TextEncoding::kUtf8;
    findFits = ToFileText(findText, encoding, find);
    replaceFits = ToFileText(replaceText, encoding, replace);
  }
  // An ANSI file cannot hold a find text its code page has no form for.
  if (!findFits) return std::nullopt;
  // A replace text it cannot hold refuses the file, but only where it would
  // be changed: searched with an empty replacement instead, its text changes
  // wherever the find text is.
  if (!replaceFits) replace.clear();
  std::string result;
  bool changed = false;
  if (searchedAsRead && holdOriginal) {
    changed = run.replacer.ReplaceStrInto(file.bytes, find, replace, result);
  } else {
    // The file as lines joined with CR LF, so a find text spanning lines
    // matches whatever line ends the file has.
    std::string text = holdOriginal ? DecodeFileText(file.bytes, encoding) : TakeFileText(std::move(file.bytes), encoding);
    if (!searchedAsRead) text = NormalizeLineEndsOwned(std::move(text));
    changed = run.replacer.ReplaceStrOwned(std::move(text), find, replace, result);
  }
  if (!changed) return std::nullopt;
  if (!replaceFits) throw Refused(Error::Format(kReplaceTextNotInCodePage, path).what());

  const Writes writes(run.ahead);
  // Logged as the texts were typed, before anything is written.
  run.log.RecordReplacement(findText, path, replaceText);
  // A CR or LF that the replace text brought in on its own becomes a line end.
  // Texts without one leave every line end of the text as it was: no pass over
  // the whole result is needed to find out.
  if (HoldsLineBreak(find) || HoldsLineBreak(replace)) result = NormalizeLineEndsOwned(std::move(result));
  const std::string written = GiveFileText(std::move(result), encoding);
  if (run.host.Options().backUp) BackUpTargetFile(path, file.stamp, run.files);
  if (run.undo != nullptr) {
    holdOriginal ? run.undo->Keep(path, file.bytes, written) : run.undo->KeepFromFile(path, file.stamp, written);
  }
  run.ahead.Writing(file.stamp.index);
  const FileStamp made = RewriteTargetFile(path, file.stamp, written, run.files);
  if (run.undo != nullptr) run.undo->Written(path);
  return made;
}

}  // namespace

RunCounts RunBatch(const std::vector<std::string>& files, FileSystem& fileSystem, ActivityLog& log,
                   BatchRunHost& host, UndoRecording* undo) {
  RunCounts counts;
  std::vector<std::string> identities;
  identities.reserve(files.size());
  for (const std::string& path : files) identities.push_back(PathIdentity(path));
  std::unordered_set<std::string_view> seen, folders;
  FilesHad had(files, fileSystem);
  ReadAhead ahead(files, ReadableAhead(identities), ReadAhead::Limits(), fileSystem);
  Replacer replacer([&host] { return host.CaseSensitive(); }, [&host] { host.ProcessPendingEvents(); });
  const RunParts run{fileSystem, replacer, log, host, undo, ahead};
  for (std::size_t index = 0; index < files.size(); ++index) {
    if (index > 0) host.ProcessPendingEvents();
    if (host.StopRequested()) break;
    host.ShowCurrent(static_cast<int>(index));
    if (seen.insert(identities[index]).second) {
      // Listed as the path is spelt: Wine matches other letter cases only by
      // reading every folder on the way.
      if (folders.insert(ExtractFileDir(identities[index])).second) {
        RemoveLeftoverTemporaries(fileSystem, std::string(ExtractFileDir(FullPathName(files[index]))));
      }
      bool repeated = false;
      try {
        TargetFile file = ahead.Take(index);
        repeated = had.Repeats(index, file.stamp.index);
        if (!repeated) {
          had.Add(index, file.stamp.index);
          const std::optional<FileStamp> made =
              ProcessTargetFile(files[index], std::move(file), run);
          if (made) {
            ++counts.written;
            had.Add(index, made->index);
          }
        }
      } catch (const Refused& refusal) {
        host.ReportFailure(refusal);
        ++counts.failed;
      } catch (const std::exception&) {
        host.ReportFailure(Error::Format(kCannotOpenFile, files[index]));
        ++counts.failed;
      }
      if (!repeated) ++counts.searched;
    }
    host.FileDone(static_cast<int>(index) + 1);
  }
  return counts;
}

}  // namespace varnex
