#include "run/batchrun.h"

#include <windows.h>

#include "engine/textlines.h"
#include "framework/safereplace.h"
#include "run/filetext.h"
#include "run/readahead.h"
#include "run/replacer.h"
#include "run/targetfile.h"

namespace varnex {

namespace {

// What a run works with, for each of its files.
struct RunParts {
  FileSystem& files;
  Replacer& replacer;
  ActivityLog& log;
  BatchRunHost& host;
  UndoRecording* undo;
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

// Processes the file at `path`: changed and written, with the new file's
// number, or left as it was. Raises an error on any failure: the file is then
// left as it was. Where the undo store needs the bytes as read, they stay in
// hand until the file is written: a file that is its own text, line ends and
// all, is searched as it is, the result taking new memory, and another one is
// converted into a copy. Otherwise the bytes become the text where they lie.
// The text is then replaced where it lies unless the replacement grows it.
FileOutcome ProcessTargetFile(const std::string& path, TargetFile file, ReadAhead& ahead, const RunParts& run) {
  const FileTexts texts = TextsForFile(path, file, run.host, run.replacer);
  // An ANSI file cannot hold a find text its code page has no form for.
  if (!texts.findFits) return {};
  const TextEncoding encoding = texts.encoding;
  const bool holdOriginal = run.undo != nullptr && !UndoRecording::TakesFromFile(file.stamp.size);
  const bool searchedAsRead =
      (encoding == TextEncoding::kAnsi || encoding == TextEncoding::kUtf8) && file.inLineShape;
  std::string result;
  bool changed = false;
  if (searchedAsRead && holdOriginal) {
    changed = run.replacer.ReplaceStrInto(file.bytes, texts.find, texts.replace, result);
  } else {
    // The file as lines joined with CR LF, so a find text spanning lines
    // matches whatever line ends the file has.
    std::string text = holdOriginal ? DecodeFileText(file.bytes, encoding) : TakeFileText(std::move(file.bytes), encoding);
    if (!searchedAsRead) text = NormalizeLineEndsOwned(std::move(text));
    changed = run.replacer.ReplaceStrOwned(std::move(text), texts.find, texts.replace, result);
  }
  if (!changed) return {};
  texts.RefuseUnlessReplaceFits(path);

  const Writes writes(ahead);
  // Logged as the texts were typed, before anything is written.
  run.log.RecordReplacement(texts.typedFind, path, texts.typedReplace);
  // A CR or LF that the replace text brought in on its own becomes a line end.
  // Texts without one leave every line end of the text as it was: no pass over
  // the whole result is needed to find out.
  if (texts.BringLineBreaks()) result = NormalizeLineEndsOwned(std::move(result));
  const std::string written = GiveFileText(std::move(result), encoding);
  if (run.host.Options().backUp) BackUpTargetFile(path, file.stamp, run.files);
  if (run.undo != nullptr) {
    holdOriginal ? run.undo->Keep(path, file.bytes, written) : run.undo->KeepFromFile(path, file.stamp, written);
  }
  ahead.Writing(file.stamp.index);
  const FileStamp made = RewriteTargetFile(path, file.stamp, written, run.files);
  if (run.undo != nullptr) run.undo->Written(path);
  return {true, made.index};
}

}  // namespace

RunCounts RunBatch(const std::vector<std::string>& files, FileSystem& fileSystem, ActivityLog& log,
                   BatchRunHost& host, UndoRecording* undo) {
  Replacer replacer([&host] { return host.CaseSensitive(); }, [&host] { host.ProcessPendingEvents(); });
  const RunParts run{fileSystem, replacer, log, host, undo};
  return WalkFiles(files, fileSystem, host,
                   {.process = [&run](const std::string& path, TargetFile file,
                                      ReadAhead& ahead) { return ProcessTargetFile(path, std::move(file), ahead, run); },
                    .enterFolder = [&fileSystem](const std::string& folder) {
                      RemoveLeftoverTemporaries(fileSystem, folder);
                    },
                    .refuse = [undo](const std::string& path) {
                      if (undo != nullptr) undo->RefuseStoreFile(path);
                    }});
}

}  // namespace varnex
