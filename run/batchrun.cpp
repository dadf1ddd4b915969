#include "run/batchrun.h"

#include <windows.h>

#include <optional>
#include <unordered_set>

#include "engine/textlines.h"
#include "framework/safereplace.h"
#include "run/filetext.h"
#include "run/originalhash.h"
#include "run/readahead.h"
#include "run/replacer.h"
#include "run/targetfile.h"

namespace varnex {

namespace {

// A log that cannot take a file's line is the log's fault, not the file's:
// its failure (the log's path and reason) is told once, and each file it
// keeps from being written is listed without a word of its own.
class LogFault {
 public:
  explicit LogFault(BatchRunHost& host) : host_(host) {}

  [[noreturn]] void Raise(const std::string& path, const Error& failure) {
    if (!told_) host_.ReportFailure(failure);
    told_ = true;
    throw ToldElsewhere(Error::Format(kNotLogged, path).what());
  }

 private:
  BatchRunHost& host_;
  bool told_ = false;
};

// What a run works with, for each of its files.
struct RunParts {
  FileSystem& files;
  Replacer& replacer;
  FileTextsInTurn& texts;
  ActivityLog& log;
  LogFault& logFault;
  BatchRunHost& host;
  UndoRecording* undo;
  // The journal names each new file before it is made, and each file before
  // it is written over in place, where there is one.
  TemporaryRecord recordTemporary;
  InPlaceRecord recordInPlace;
};

// Once a file's text has changed the run writes (its log line, its backup,
// the file): however far it gets, the files read ahead before are looked at
// again.
class ReadAheadRecheck {
 public:
  explicit ReadAheadRecheck(ReadAhead& ahead) : ahead_(ahead) {}
  ~ReadAheadRecheck() { ahead_.RunWrote(); }
  ReadAheadRecheck(const ReadAheadRecheck&) = delete;
  ReadAheadRecheck& operator=(const ReadAheadRecheck&) = delete;

 private:
  ReadAhead& ahead_;
};

// The changed files of a run go to the disk a batch at a time: each new file
// and each kept original written out to the drive without emptying its write
// cache, then one flush of the undo journal for them all (on NTFS every
// FlushFileBuffers empties the drive's cache, which costs milliseconds), and
// only then does each file of the batch take its original's place. A new
// file on another volume than the journal gets the flush of its volume from
// one of its own. Where nothing can be only written out (before Windows 8,
// under Wine), each new file is flushed as it is written, and the originals
// and the journal once per batch. A power cut at any moment leaves every file
// as it was or as the run meant it, with its original in the store.
class Batch {
 public:
  Batch(const RunParts& run, BatchLimits limits) : run_(run), limits_(limits) {}
  // A run ended by an error leaves none of its new files behind.
  ~Batch() {
    for (NewTargetFile& waiting : waiting_) {
      if (waiting.file) DiscardTargetFile(waiting, run_.files);
    }
  }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  // A new file written beside its original, and the bytes that cost.
  void Add(NewTargetFile written, std::uint64_t bytes) {
    if (waiting_.empty()) started_ = GetTickCount64();
    waiting_.push_back(std::move(written));
    bytes_ += bytes;
  }

  // Puts the batch's files in place once its time has come (or `last`); gives
  // those that could not be, each reported.
  std::vector<FileFailure> Settle(bool last, ReadAhead& ahead) {
    if (waiting_.empty() || !(last || Due())) return {};
    const std::unordered_set<ULONGLONG> flushed = FlushVolumes();
    std::vector<FileFailure> failed;
    for (NewTargetFile& waiting : waiting_) {
      try {
        if (waiting.writtenOut && !flushed.contains(waiting.volume)) {
          DiscardTargetFile(waiting, run_.files);
          throw Error::Format(kCannotOpenFile, waiting.path)
              .Because(FailureReason::kOther, "Its new text could not be flushed to the disk");
        }
        ahead.Writing(waiting.read.index);
        PutTargetFileInPlace(waiting, run_.files, run_.recordInPlace);
        if (run_.undo != nullptr) run_.undo->Written(waiting.path);
      } catch (const std::exception& failure) {
        failed.push_back({waiting.path, FailureOfFile(waiting.path, failure)});
        run_.host.ReportFailure(failed.back().error);
      }
    }
    waiting_.clear();
    bytes_ = 0;
    ahead.RunWrote();
    return failed;
  }

 private:
  bool Due() const {
    return waiting_.size() >= limits_.files || bytes_ >= limits_.bytes ||
           GetTickCount64() - started_ >= limits_.milliseconds;
  }

  // The volumes whose drive caches were emptied since the batch's files were
  // written out: the journal's, and one flush of a new file on each other.
  std::unordered_set<ULONGLONG> FlushVolumes() {
    std::unordered_set<ULONGLONG> flushed, failed;
    if (run_.undo != nullptr) {
      if (const std::optional<ULONGLONG> journal = run_.undo->FlushKept()) flushed.insert(*journal);
    }
    for (NewTargetFile& waiting : waiting_) {
      if (!waiting.writtenOut || flushed.contains(waiting.volume) || failed.contains(waiting.volume)) continue;
      (run_.files.Flush(waiting.file.Get()) ? flushed : failed).insert(waiting.volume);
    }
    return flushed;
  }

  const RunParts& run_;
  const BatchLimits limits_;
  std::vector<NewTargetFile> waiting_;
  std::uint64_t bytes_ = 0;
  ULONGLONG started_ = 0;  // when the batch's first file was written
};

// Processes the file at `path`: changed and written beside it into `batch`,
// with the new file's number, or left as it was. Raises an error on any
// failure: the file is then left as it was. Where the undo store needs the
// bytes as read, they stay in hand until the file is written: a file that is
// its own text, line ends and all, is searched as it is, the result taking
// new memory, and another one is converted into a copy. Otherwise the bytes
// become the text where they lie. The text is then replaced where it lies
// unless the replacement grows it.
FileOutcome ProcessTargetFile(const std::string& path, TargetFile file, ReadAhead& ahead, const RunParts& run,
                              Batch& batch) {
  const FileTexts texts = run.texts.For(path, file, run.host, run.replacer);
  // An ANSI file cannot hold a find text its code page has no form for.
  if (!texts.findFits) return {};
  const TextEncoding encoding = texts.encoding;
  const bool holdOriginal = run.undo != nullptr && !UndoRecording::TakesFromFile(file.stamp.size);
  const bool searchedAsRead =
      (encoding == TextEncoding::kAnsi || encoding == TextEncoding::kUtf8) && file.inLineShape;
  // A file whose lines all end with CR LF has nothing to keep.
  const bool keepLineEnds = run.host.Options().keepLineEnds && !file.inLineShape;
  // A big file's original is hashed from the file while its text is replaced.
  std::optional<OriginalHash> originalHash;
  if (run.undo != nullptr && !holdOriginal) originalHash.emplace(run.files, path, file.stamp);
  std::string result;
  bool changed = false;
  if (keepLineEnds) {
    const std::string text =
        holdOriginal ? DecodeFileText(file.bytes, encoding) : TakeFileText(std::move(file.bytes), encoding);
    changed = run.replacer.ReplaceStrKeepingLineEnds(text, texts.ForMatching(), result);
  } else if (searchedAsRead && holdOriginal) {
    changed = run.replacer.ReplaceStrInto(file.bytes, texts.ForMatching(), result);
  } else {
    // The file as lines joined with CR LF, so a find text spanning lines
    // matches whatever line ends the file has.
    std::string text = holdOriginal ? DecodeFileText(file.bytes, encoding) : TakeFileText(std::move(file.bytes), encoding);
    if (!searchedAsRead) text = NormalizeLineEndsOwned(std::move(text));
    changed = run.replacer.ReplaceStrOwned(std::move(text), texts.ForMatching(), result);
  }
  if (!changed) return {};
  texts.RefuseUnlessReplaceFits(path);

  const ReadAheadRecheck recheck(ahead);
  // Logged as the texts were typed, before anything is written.
  try {
    run.log.RecordReplacement(texts.typedFind, path, texts.typedReplace);
  } catch (const Error& failure) {
    run.logFault.Raise(path, failure);
  }
  // A CR or LF that the replace text brought in on its own becomes a line end.
  // Texts without one leave every line end of the text as it was: no pass over
  // the whole result is needed to find out.
  if (!keepLineEnds && texts.BringLineBreaks()) result = NormalizeLineEndsOwned(std::move(result));
  const std::string written = GiveFileText(std::move(result), encoding);
  if (run.host.Options().backUp) BackUpTargetFile(path, file.stamp, run.files);
  if (run.undo != nullptr) {
    holdOriginal ? run.undo->Keep(path, file.bytes, written)
                 : run.undo->KeepFromFile(path, file.stamp, written, *originalHash);
  }
  NewTargetFile beside = WriteBesideTargetFile(path, file.stamp, written, true, run.files,
                                               run.host.Options().keepModifiedDate, run.recordTemporary);
  beside.names = file.names;
  const ULONGLONG index = beside.made.index;
  batch.Add(std::move(beside), written.size() + (holdOriginal ? file.bytes.size() : 0));
  return {true, index};
}

}  // namespace

RunCounts RunBatch(const std::vector<std::string>& files, FileSystem& fileSystem, ActivityLog& log,
                   BatchRunHost& host, UndoRecording* undo, BatchLimits limits, std::string_view logIdentity) {
  Replacer replacer(MatcherFor(host.Options()), [&host] { return host.CaseSensitive(); },
                    [&host] { host.ProcessPendingEvents(); });
  LogFault logFault(host);
  TemporaryRecord recordTemporary = nullptr;
  InPlaceRecord recordInPlace = nullptr;
  if (undo != nullptr) {
    recordTemporary = [undo](const std::string& path, bool ours) { undo->RecordTemporary(path, ours); };
    recordInPlace = [undo](const std::string& path) { return undo->WritingInPlace(path); };
  }
  FileTextsInTurn texts;
  const RunParts run{fileSystem, replacer, texts, log, logFault, host, undo, std::move(recordTemporary),
                     std::move(recordInPlace)};
  Batch batch(run, limits);
  return WalkFiles(files, fileSystem, host,
                   {.process = [&](const std::string& path, TargetFile file,
                                   ReadAhead& ahead) { return ProcessTargetFile(path, std::move(file), ahead, run, batch); },
                    .refuse = [undo](const std::string& path, std::string_view identity) {
                      if (undo != nullptr) undo->RefuseStoreFile(path, identity);
                    },
                    .settle = [&batch](bool last, ReadAhead& ahead) { return batch.Settle(last, ahead); },
                    .appendedTo = logIdentity});
}

}  // namespace varnex
