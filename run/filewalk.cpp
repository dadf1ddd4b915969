#include "run/filewalk.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "engine/matcher.h"
#include "framework/unicode.h"

namespace varnex {

std::string PathIdentity(const std::string& path) {
  // Upper case by characters: by bytes, the code page would take parts of
  // UTF-8 characters for letters, and two names could come out alike.
  std::wstring full = FullWidePath(Wide(path));
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  return Utf8(full);
}

Error FailureOfFile(const std::string& path, const std::exception& failure) {
  // A text the matcher cannot search says so in its own words.
  if (const auto* refused = dynamic_cast<const SearchRefused*>(&failure)) return Error::Format(refused->what(), path);
  if (const auto* refused = dynamic_cast<const Refused*>(&failure)) return *refused;
  const Error standard = Error::Format(kCannotOpenFile, path);
  if (const auto* error = dynamic_cast<const Error*>(&failure)) {
    if (std::string_view(error->what()) == standard.what()) return *error;
    return standard.Because(FailureReason::kOther, error->what());
  }
  if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) return standard.Because(FailureReason::kOutOfMemory);
  return standard;
}

namespace {

// The entries the run may write before their turn come: a file listed again,
// an earlier file's backup, and the file it appends to as it goes. They are
// not read ahead, or the read could keep the run from writing them.
std::vector<bool> ReadableAhead(const std::vector<std::string>& identities, std::string_view appendedTo) {
  std::vector<bool> ahead(identities.size());
  std::unordered_set<std::string_view> earlier;
  for (std::size_t index = 0; index < identities.size(); ++index) {
    const std::string_view identity = identities[index];
    const bool backup = identity.ends_with(".BAK") && earlier.contains(identity.substr(0, identity.size() - 4));
    ahead[index] = !backup && identity != appendedTo && earlier.insert(identity).second;
  }
  return ahead;
}

// Whether `a` and `b` name one file now: the same volume and number, and the
// same size and last write, as one file has whatever it is called. (Wine gives
// every volume whose serial it cannot read the serial 0, and numbers files by
// their Linux inodes, which repeat from one Linux file system to the next.)
bool SameFile(FileSystem& files, const std::string& a, const std::string& b) {
  const FileHandle first = OpenForAttributes(files, a), second = OpenForAttributes(files, b);
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
// reaches the new file once that entry is written, and so does a hard link
// or a symbolic link, written over in place.
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

// Files counted as written that could not be finished after all.
void Unfinished(std::vector<FileFailure> failures, RunCounts& counts) {
  const int files = static_cast<int>(failures.size());
  counts.written -= files;
  counts.failed += files;
  for (FileFailure& failure : failures) counts.failures.push_back(std::move(failure));
}

}  // namespace

RunCounts WalkFiles(const std::vector<std::string>& files, FileSystem& fileSystem, FileWalkHost& host,
                    const FileWalk& walk) {
  RunCounts counts;
  std::vector<std::string> identities;
  identities.reserve(files.size());
  for (const std::string& path : files) identities.push_back(PathIdentity(path));
  std::unordered_map<std::string_view, std::size_t> firstOf;
  FilesHad had(files, fileSystem);
  ReadAhead ahead(files, ReadableAhead(identities, walk.appendedTo), ReadAhead::Limits(), fileSystem);
  for (std::size_t index = 0; index < files.size(); ++index) {
    if (index > 0) host.ProcessPendingEvents();
    if (host.StopRequested()) break;
    host.ShowCurrent(static_cast<int>(index));
    const auto [first, fresh] = firstOf.emplace(identities[index], index);
    // Spellings that differ in letter case alone may name two files (a
    // case-sensitive folder, as every Linux folder is under Wine): the file's
    // volume and number tell, once it is read.
    if (fresh || FullPathName(files[index]) != FullPathName(files[first->second])) {
      bool repeated = false, binary = false;
      try {
        if (walk.refuse) walk.refuse(files[index], identities[index]);
        TargetFile file = ahead.Take(index);
        repeated = had.Repeats(index, file.stamp.index);
        // A file still to be finished may be this one by another name that
        // finishing it parts from it (a hard link, which a rename leaves on
        // the original): it is finished first, and this one read again.
        if (repeated && walk.settle) {
          Unfinished(walk.settle(true, ahead), counts);
          file = ReadTargetFile(files[index], fileSystem);
          repeated = had.Repeats(index, file.stamp.index);
        }
        binary = !repeated && file.binary;
        if (binary) {
          counts.binary.push_back(files[index]);
        } else if (!repeated) {
          had.Add(index, file.stamp.index);
          const FileOutcome outcome = walk.process(files[index], std::move(file), ahead);
          if (outcome.changed) ++counts.written;
          had.Add(index, outcome.writtenIndex);
        }
      } catch (const std::exception& failure) {
        FileFailure failed{files[index], FailureOfFile(files[index], failure)};
        if (dynamic_cast<const ToldElsewhere*>(&failure) == nullptr) host.ReportFailure(failed.error);
        counts.failures.push_back(std::move(failed));
        ++counts.failed;
      }
      if (!repeated && !binary) ++counts.searched;
    }
    if (walk.settle) Unfinished(walk.settle(false, ahead), counts);
    host.FileDone(static_cast<int>(index) + 1);
  }
  if (walk.settle) Unfinished(walk.settle(true, ahead), counts);
  // In list order, however late a batch found each out.
  std::unordered_map<std::string_view, std::size_t> order;
  for (std::size_t index = files.size(); index-- > 0 && !counts.failures.empty();) order[files[index]] = index;
  std::stable_sort(counts.failures.begin(), counts.failures.end(),
                   [&order](const FileFailure& a, const FileFailure& b) { return order[a.path] < order[b.path]; });
  return counts;
}

}  // namespace varnex
