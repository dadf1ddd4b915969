#pragma once
// The real file system with faults put in: chosen calls fail with a chosen
// error, and a failing ReplaceFileA leaves the files as Windows leaves them.
// Paths are held to Windows' length limit, which Wine exceeds by one.

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/filesystem.h"
#include "framework/unicode.h"

namespace varnex::testing {

enum class Call { kAny, kOpen, kRead, kWrite, kFlush, kWriteOut, kSize, kStamp, kReplace, kMove, kCopy, kLink, kRemove,
                  kAttributes, kSetAttributes, kBasicInfo, kSetBasicInfo, kPathStamp, kIdentity, kFindNames, kReadAt,
                  kSetEnd, kMakeFolder, kRemoveFolder };

// What a failed ReplaceFileA or move has done before it gave up.
enum class Leaves {
  kAsItWas,
  kOriginalAtBackup,    // ERROR_UNABLE_TO_MOVE_REPLACEMENT(_2): the original moved aside, nothing in its place
  kReplacementInPlace,  // it did the whole job and reported a failure all the same
  kReplacementGone,     // the file to be put in place was removed under it (by another program)
};

// Whose file a move moves, for faults that strike one of them only.
enum class Of { kAnyFile, kReplacement, kBackup };

inline constexpr int kEveryCall = 1 << 30;

struct Fault {
  Call call = Call::kAny;
  int first = 1;  // the first failing call of that kind, counted from 1
  int times = 1;  // how many such calls in a row fail
  DWORD error = ERROR_ACCESS_DENIED;
  Leaves leaves = Leaves::kAsItWas;
  // A full disk: the first failing write takes half its bytes and reports them.
  bool shortWrite = false;
  // For moves and lookups: only those of the file last handed to ReplaceFileA as this.
  Of of = Of::kAnyFile;
};

class FailingFileSystem final : public FileSystem {
 public:
  explicit FailingFileSystem(const std::vector<Fault>& faults = {}) {
    for (const Fault& fault : faults) faults_.push_back({fault});
  }

  // Armed from now on, its calls counted from here.
  void Add(const Fault& fault) { faults_.push_back({fault}); }
  int Calls() const { return calls_; }
  // The calls of one kind, failed or not.
  int Calls(Call call) const {
    const auto found = counts_.find(call);
    return found == counts_.end() ? 0 : found->second;
  }
  int Pauses() const { return pauses_; }
  bool Fired() const { return fired_; }
  // Called before each open, with the path and the access asked for.
  std::function<void(const std::string& path, DWORD access)> beforeOpen;
  // As on Windows, whatever the tests run on; the rename's protocol is tested
  // with this off.
  bool replaceKeepsMore = true;
  // Whether a file can be only written out, as on Windows 8 and later (it
  // then stays in Wine's file cache, where it is anyway); off, as under Wine.
  bool writesOut = false;
  // Every time and attribute set asked for: some file systems keep no
  // creation time, whatever they are asked.
  std::vector<FILE_BASIC_INFO> basicInfoSet;

  FileHandle Open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
    if (beforeOpen) beforeOpen(path, access);
    if (TooLong(path) || Fails(Call::kOpen)) return FileHandle();
    return real_.Open(path, access, share, disposition, flags);
  }
  bool Read(HANDLE file, void* buffer, DWORD size, DWORD& read) override {
    return !Fails(Call::kRead) && real_.Read(file, buffer, size, read);
  }
  bool Write(HANDLE file, const void* buffer, DWORD size, DWORD& written) override {
    const Fault* fault = Failing(Call::kWrite);
    if (fault == nullptr) return real_.Write(file, buffer, size, written);
    if (fault->shortWrite && !shortWritten_ && size > 1) {
      shortWritten_ = true;
      return real_.Write(file, buffer, size / 2, written);
    }
    return Fail(*fault);
  }
  bool Flush(HANDLE file) override { return !Fails(Call::kFlush) && real_.Flush(file); }
  bool WriteOut(HANDLE) override {
    if (Fails(Call::kWriteOut)) return false;
    if (!writesOut) SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return writesOut;
  }
  bool Size(HANDLE file, LARGE_INTEGER& size) override { return !Fails(Call::kSize) && real_.Size(file, size); }
  bool Stamp(HANDLE file, FileStamp& stamp) override { return !Fails(Call::kStamp) && real_.Stamp(file, stamp); }
  bool Replace(const std::string& replaced, const std::string& replacement, const std::string& backup) override {
    if (TooLong(replaced) || TooLong(replacement) || TooLong(backup)) return false;
    replacement_ = replacement;
    backup_ = backup;
    const Fault* fault = Failing(Call::kReplace);
    if (fault == nullptr) return real_.Replace(replaced, replacement, backup);
    switch (fault->leaves) {
      case Leaves::kAsItWas:
        break;
      case Leaves::kOriginalAtBackup:
        // Without a backup name the original is gone altogether; a file at
        // that name is replaced.
        if (backup.empty() ? !real_.Remove(replaced) : !real_.Move(replaced, backup, MOVEFILE_REPLACE_EXISTING)) {
          return false;
        }
        break;
      case Leaves::kReplacementInPlace:
        if (!real_.Replace(replaced, replacement, backup)) return false;
        break;
      case Leaves::kReplacementGone:
        if (!real_.Remove(replacement)) return false;
        break;
    }
    return Fail(*fault);
  }
  bool Move(const std::string& from, const std::string& to, DWORD flags) override {
    if (TooLong(from) || TooLong(to)) return false;
    const Of file = from == replacement_ ? Of::kReplacement : from == backup_ ? Of::kBackup : Of::kAnyFile;
    const Fault* fault = Failing(Call::kMove, file);
    if (fault == nullptr) return real_.Move(from, to, flags);
    if (fault->leaves == Leaves::kReplacementInPlace && !real_.Move(from, to, flags)) return false;
    // Moved out of the way first: a file still open goes only with its last
    // handle, but its name goes at once.
    if (fault->leaves == Leaves::kReplacementGone && !(real_.Move(from, from + "~", 0) && real_.Remove(from + "~"))) {
      return false;
    }
    return Fail(*fault);
  }
  bool Copy(const std::string& from, const std::string& to) override {
    return !TooLong(from) && !TooLong(to) && !Fails(Call::kCopy) && real_.Copy(from, to);
  }
  bool Link(const std::string& existing, const std::string& link) override {
    return !TooLong(existing) && !TooLong(link) && !Fails(Call::kLink) && real_.Link(existing, link);
  }
  bool Remove(const std::string& path) override {
    return !TooLong(path) && !Fails(Call::kRemove) && real_.Remove(path);
  }
  DWORD Attributes(const std::string& path) override {
    const Of file = path == replacement_ ? Of::kReplacement : path == backup_ ? Of::kBackup : Of::kAnyFile;
    return TooLong(path) || Fails(Call::kAttributes, file) ? INVALID_FILE_ATTRIBUTES : real_.Attributes(path);
  }
  bool SetAttributes(const std::string& path, DWORD attributes) override {
    return !TooLong(path) && !Fails(Call::kSetAttributes) && real_.SetAttributes(path, attributes);
  }
  bool PathStamp(const std::string& path, FileStamp& stamp) override {
    return !Fails(Call::kPathStamp) && real_.PathStamp(path, stamp);
  }
  bool BasicInfo(HANDLE file, FILE_BASIC_INFO& info) override {
    return !Fails(Call::kBasicInfo) && real_.BasicInfo(file, info);
  }
  bool SetBasicInfo(HANDLE file, const FILE_BASIC_INFO& info) override {
    basicInfoSet.push_back(info);
    return !Fails(Call::kSetBasicInfo) && real_.SetBasicInfo(file, info);
  }
  bool ReplaceKeepsMore() override { return replaceKeepsMore; }
  // Tests do not wait: nobody else holds their files unless they say so.
  void Pause(DWORD) override { ++pauses_; }
  bool ReadAt(HANDLE file, ULONGLONG offset, void* buffer, DWORD size, DWORD& read) override {
    return !Fails(Call::kReadAt) && real_.ReadAt(file, offset, buffer, size, read);
  }
  bool SetEnd(HANDLE file, ULONGLONG size) override { return !Fails(Call::kSetEnd) && real_.SetEnd(file, size); }
  bool MakeFolder(const std::string& path) override {
    return !TooLong(path) && !Fails(Call::kMakeFolder) && real_.MakeFolder(path);
  }
  bool RemoveFolder(const std::string& path) override {
    return !TooLong(path) && !Fails(Call::kRemoveFolder) && real_.RemoveFolder(path);
  }
  bool Identity(HANDLE file, FileIdentity& identity) override {
    return !Fails(Call::kIdentity) && real_.Identity(file, identity);
  }
  bool FindNames(const std::string& pattern, std::vector<std::string>& names) override {
    return !TooLong(pattern) && !Fails(Call::kFindNames) && real_.FindNames(pattern, names);
  }

 private:
  struct Armed {
    Fault fault;
    int seen = 0;  // calls it could strike so far
  };

  // Counts the call and gives the fault that strikes it, if any.
  const Fault* Failing(Call call, Of file = Of::kAnyFile) {
    ++calls_;
    ++counts_[call];
    const Fault* striking = nullptr;
    for (Armed& armed : faults_) {
      const Fault& fault = armed.fault;
      if (fault.call != Call::kAny && fault.call != call) continue;
      if (fault.of != Of::kAnyFile && fault.of != file) continue;
      const int number = ++armed.seen;
      if (striking == nullptr && number >= fault.first && number - fault.first < fault.times) striking = &fault;
    }
    fired_ = fired_ || striking != nullptr;
    return striking;
  }
  bool Fails(Call call, Of file = Of::kAnyFile) {
    const Fault* fault = Failing(call, file);
    return fault != nullptr && !Fail(*fault);
  }
  static bool Fail(const Fault& fault) {
    SetLastError(fault.error);
    return false;
  }
  // Windows' limit for the wide calls; Wine's is Linux's, far lower, so a
  // name Windows would refuse would pass there unnoticed.
  static bool TooLong(const std::string& path) {
    if (WidePath(path).size() <= 32767) return false;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return true;
  }

  FileSystem& real_ = SystemFileSystem();
  std::vector<Armed> faults_;
  int calls_ = 0;
  std::map<Call, int> counts_;
  std::string replacement_, backup_;
  int pauses_ = 0;
  bool fired_ = false;
  bool shortWritten_ = false;
};

}  // namespace varnex::testing
