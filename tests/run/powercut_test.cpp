// A run with its undo store cut short by a power cut at every step in turn,
// over several batches (small files, a big file whose original is linked, a
// file that fails, a stop, a big file with a second name written over in
// place): whatever reached the disk, every file is as before the run or as
// the run meant it (one killed while written over in place may be anything),
// and Undo Last Run after the restart gives every changed file its original
// back. Both where files can be only written out and where each must be flushed.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <thread>

#include "framework/unicode.h"
#include "run/runsession.h"
#include "tests/support/forwarding_filesystem.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

// The machine stopping: not an exception the program knows, so nothing in it
// catches the cut and carries on.
struct PowerCut {};

// The real file system, with a power cut before its `cutAt`th call; from then
// on every call fails without touching anything. Lost then, as on a disk with
// a write cache: every byte written to a file since it was last flushed, or
// only written out, unless a later flush of any file emptied the drive's
// cache (all the files are on one volume). Names (new files, renames, links,
// removals, folders) reach the disk as they are made, as a file system that
// journals its names makes them. Only the run's own calls are steps; the
// read-ahead's reads on its thread change nothing, and fail once the power
// is off.
class CutFileSystem final : public testing::ForwardingFileSystem {
 public:
  CutFileSystem(int cutAt, bool writesOut) : cutAt_(cutAt), writesOut_(writesOut) {}

  bool Cut() const { return off_; }

  // The disk as the machine finds it at the restart (all it wrote, where only the program was killed).
  void Restart(bool killed) {
    for (const auto& file : files_) {
      if (killed) break;
      if (!file->dirty) continue;
      for (const std::string& name : file->names) WriteFileBytes(name, file->durable);
    }
    files_.clear();
    names_.clear();
    handles_.clear();
  }

  FileHandle Open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
    if (!Step()) return FileHandle();
    if (!OnRunThread()) return ForwardingFileSystem::Open(path, access, share, disposition, flags);
    const bool existed = ForwardingFileSystem::Attributes(path) != INVALID_FILE_ATTRIBUTES;
    std::shared_ptr<File> file = existed ? Named(path) : nullptr;
    FileHandle handle = ForwardingFileSystem::Open(path, access, share, disposition, flags);
    if (!handle) return handle;
    if (!existed || disposition == CREATE_ALWAYS) {
      // A new file's bytes are lost until flushed; one made anew over an old
      // one may come back as the old one.
      auto made = std::make_shared<File>();
      if (file) made->durable = file->durable;
      made->dirty = true;
      Rename(path, made);
      file = made;
    }
    handles_[handle.Get()] = file;
    return handle;
  }
  bool Write(HANDLE handle, const void* buffer, DWORD size, DWORD& written) override {
    if (!Step()) return false;
    LARGE_INTEGER at{};
    const LARGE_INTEGER none{};
    SetFilePointerEx(handle, none, &at, FILE_CURRENT);
    if (!ForwardingFileSystem::Write(handle, buffer, size, written)) return false;
    if (File* file = Of(handle)) {
      const auto from = static_cast<std::size_t>(at.QuadPart);
      if (file->current.size() < from + written) file->current.resize(from + written);
      file->current.replace(from, written, static_cast<const char*>(buffer), written);
      file->dirty = true;
    }
    return true;
  }
  bool SetEnd(HANDLE handle, ULONGLONG size) override {
    if (!Step() || !ForwardingFileSystem::SetEnd(handle, size)) return false;
    if (File* file = Of(handle)) {
      file->current.resize(static_cast<std::size_t>(size));
      file->dirty = true;
    }
    return true;
  }
  bool Flush(HANDLE handle) override {
    if (!Step() || !ForwardingFileSystem::Flush(handle)) return false;
    for (const auto& file : files_) {
      if (!file->writtenOut) continue;
      file->durable = *std::exchange(file->writtenOut, std::nullopt);
      file->dirty = file->durable != file->current;
    }
    if (File* file = Of(handle)) {
      file->durable = file->current;
      file->dirty = false;
    }
    return true;
  }
  bool WriteOut(HANDLE handle) override {
    if (!Step()) return false;
    if (!writesOut_) {
      SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
      return false;
    }
    if (File* file = Of(handle)) file->writtenOut = file->current;
    return true;
  }
  bool Move(const std::string& from, const std::string& to, DWORD flags) override {
    if (!Step()) return false;
    std::shared_ptr<File> file = Named(from);
    if (!ForwardingFileSystem::Move(from, to, flags)) return false;
    Unname(from);
    Rename(to, file);
    return true;
  }
  bool Replace(const std::string& replaced, const std::string& replacement, const std::string& backup) override {
    if (!Step()) return false;
    std::shared_ptr<File> original = Named(replaced), file = Named(replacement);
    if (!ForwardingFileSystem::Replace(replaced, replacement, backup)) return false;
    Unname(replacement);
    Rename(replaced, file);
    if (!backup.empty()) Rename(backup, original);
    return true;
  }
  bool Copy(const std::string& from, const std::string& to) override {
    std::shared_ptr<File> original = Step() ? Named(from) : nullptr;
    if (!original || !ForwardingFileSystem::Copy(from, to)) return false;
    auto file = std::make_shared<File>();
    file->current = original->current;
    file->dirty = true;
    Rename(to, file);
    return true;
  }
  bool Link(const std::string& existing, const std::string& link) override {
    if (!Step()) return false;
    std::shared_ptr<File> file = Named(existing);
    if (!ForwardingFileSystem::Link(existing, link)) return false;
    Rename(link, file);
    return true;
  }
  bool Remove(const std::string& path) override {
    if (!Step() || !ForwardingFileSystem::Remove(path)) return false;
    Unname(path);
    return true;
  }
  // Nothing holds a file once the power is off: no waiting.
  void Pause(DWORD) override {}
  // Every other call only counts as a step.
  bool Read(HANDLE file, void* buffer, DWORD size, DWORD& read) override {
    return Step() && ForwardingFileSystem::Read(file, buffer, size, read);
  }
  bool Size(HANDLE file, LARGE_INTEGER& size) override { return Step() && ForwardingFileSystem::Size(file, size); }
  bool Stamp(HANDLE file, FileStamp& stamp) override { return Step() && ForwardingFileSystem::Stamp(file, stamp); }
  DWORD Attributes(const std::string& path) override {
    return Step() ? ForwardingFileSystem::Attributes(path) : INVALID_FILE_ATTRIBUTES;
  }
  bool SetAttributes(const std::string& path, DWORD attributes) override {
    return Step() && ForwardingFileSystem::SetAttributes(path, attributes);
  }
  bool PathStamp(const std::string& path, FileStamp& stamp) override {
    return Step() && ForwardingFileSystem::PathStamp(path, stamp);
  }
  bool BasicInfo(HANDLE file, FILE_BASIC_INFO& info) override { return Step() && ForwardingFileSystem::BasicInfo(file, info); }
  bool SetBasicInfo(HANDLE file, const FILE_BASIC_INFO& info) override {
    return Step() && ForwardingFileSystem::SetBasicInfo(file, info);
  }
  bool ReadAt(HANDLE file, ULONGLONG offset, void* buffer, DWORD size, DWORD& read) override {
    return Step() && ForwardingFileSystem::ReadAt(file, offset, buffer, size, read);
  }
  bool MakeFolder(const std::string& path) override { return Step() && ForwardingFileSystem::MakeFolder(path); }
  bool RemoveFolder(const std::string& path) override { return Step() && ForwardingFileSystem::RemoveFolder(path); }
  bool FindNames(const std::string& pattern, std::vector<std::string>& names) override {
    return Step() && ForwardingFileSystem::FindNames(pattern, names);
  }
  bool Identity(HANDLE file, FileIdentity& identity) override {
    return Step() && ForwardingFileSystem::Identity(file, identity);
  }

 private:
  struct File {
    std::string durable;  // what the disk holds of it
    std::string current;  // what the program sees
    bool dirty = false;   // written since it was flushed
    std::optional<std::string> writtenOut;  // in the drive's cache
    std::set<std::string> names;
  };

  bool OnRunThread() const { return std::this_thread::get_id() == runThread_; }
  // False once the power is off; the cut itself raises PowerCut.
  bool Step() {
    if (off_) {
      SetLastError(ERROR_NOT_READY);
      return false;
    }
    if (!OnRunThread()) return true;
    if (++calls_ == cutAt_) {
      off_ = true;
      throw PowerCut();
    }
    return true;
  }
  // The file at `path`, as the disk holds it when first seen.
  std::shared_ptr<File> Named(const std::string& path) {
    const auto found = names_.find(path);
    if (found != names_.end()) return found->second;
    auto file = std::make_shared<File>();
    file->durable = file->current = ReadFileBytes(path);
    Rename(path, file);
    return file;
  }
  void Rename(const std::string& path, const std::shared_ptr<File>& file) {
    Unname(path);
    names_[path] = file;
    file->names.insert(path);
    files_.insert(file);
  }
  void Unname(const std::string& path) {
    const auto found = names_.find(path);
    if (found == names_.end()) return;
    found->second->names.erase(path);
    names_.erase(found);
  }
  File* Of(HANDLE handle) {
    const auto found = handles_.find(handle);
    return found == handles_.end() ? nullptr : found->second.get();
  }

  int cutAt_;
  bool writesOut_;
  std::thread::id runThread_ = std::this_thread::get_id();
  int calls_ = 0;
  std::atomic<bool> off_ = false;
  std::map<std::string, std::shared_ptr<File>> names_;
  std::map<HANDLE, std::shared_ptr<File>> handles_;
  std::set<std::shared_ptr<File>> files_;
};

// What the run is to do: each file, its bytes before and what the run gives
// it. The read-only file is refused as it is to be replaced, its original
// already in the store. A file with another name (a hard link) is written
// over in place, a megabyte at a time.
struct Planned {
  std::string name;
  std::string before;
  std::string meant;
  bool readOnly = false;
  std::string otherName{};
};

std::vector<Planned> Plan() {
  std::string big;
  for (int line = 0; big.size() < (1u << 20) + 10; ++line) big += "big line " + std::to_string(line) + "\r\n";
  return {{"a.txt", "old a\r\n", "new a\r\n"},
          {"b.txt", "old b\r\n", "new b\r\n"},
          {"big.txt", "old " + big, "new " + big},
          {"c.txt", "old c\r\n", "old c\r\n", true},
          {"d.txt", "old d\r\n", "new d\r\n"},
          {"e.txt", "old e\r\n", "new e\r\n"},
          {"linked.txt", "old " + big + "old\r\n", "new " + big + "new\r\n", false, "other name.txt"}};
}

// The run of a copy of the program, in batches of three files; with a stop
// asked for after the fifth file (the second batch then goes in place
// with the run's end, and the files after it are never looked at).
class PlannedRun final : public BatchRunHost {
 public:
  explicit PlannedRun(bool stop) : stop_(stop) {}

  void Run(const testing::TempFolder& folder, const std::string& programFolder, FileSystem& files) {
    RunSession session(programFolder, files);
    std::vector<std::string> paths;
    for (const Planned& planned : Plan()) paths.push_back(folder / planned.name);
    session.Start();
    session.Run(paths, *this, {.files = 3, .milliseconds = 1 << 30});
    session.End();
  }

  std::string FindText() override { return "old"; }
  std::string ReplaceText() override { return "new"; }
  RunOptions Options() override { return {}; }
  bool CaseSensitive() override { return false; }
  void ProcessPendingEvents() override {}
  void ShowCurrent(int) override {}
  void FileDone(int done) override { done_ = done; }
  bool StopRequested() override { return stop_ && done_ == 5; }
  void ReportFailure(const Error&) override {}
  void ReportUndoUnavailable(const std::string&) override {}

 private:
  bool stop_;
  int done_ = 0;
};

void PlaceFiles(const testing::TempFolder& folder) {
  for (const Planned& planned : Plan()) {
    WriteFileBytes(folder / planned.name, planned.before);
    if (planned.readOnly) SetFileAttributesW(WidePath(folder / planned.name).c_str(), FILE_ATTRIBUTE_READONLY);
    if (!planned.otherName.empty()) {
      CreateHardLinkW(WidePath(folder / planned.otherName).c_str(), WidePath(folder / planned.name).c_str(), nullptr);
    }
  }
}

void ClearReadOnly(const testing::TempFolder& folder) {
  for (const Planned& planned : Plan()) SetFileAttributesW(WidePath(folder / planned.name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

class NoHost final : public UndoHost {
 public:
  void Restored(const std::string&) override {}
  void ProcessPendingEvents() override {}
  void FileDone(int) override {}
  bool StopRequested() override { return false; }
};

TEST(PowerCut, AtEveryStepOfABatchedRunEveryFileIsWholeAndTheUndoGivesItBack) {
  const struct { bool writesOut, stop, killed; } variants[] = {
      {true, false, false}, {true, true, false}, {false, false, false}, {false, true, false}, {false, false, true}};
  std::set<std::string> plannedNames;
  for (const Planned& file : Plan()) plannedNames.insert({file.name, file.otherName});
  for (const auto [writesOut, stop, killed] : variants) {
    const std::string variant = std::string(writesOut ? "written out" : "flushed one by one") + (stop ? ", stopped" : "") +
                                (killed ? ", killed" : "");
    {
      testing::TempFolder folder, program;
      PlaceFiles(folder);
      CutFileSystem uncut(0, writesOut);
      PlannedRun(stop).Run(folder, program.Path(), uncut);
      const std::vector<Planned> plan = Plan();
      for (std::size_t index = 0; index < plan.size(); ++index) {
        const std::string meant = !stop || index < 5 ? plan[index].meant : plan[index].before;
        for (const std::string& name : {plan[index].name, plan[index].otherName}) {
          EXPECT_TRUE(name.empty() || ReadFileBytes(folder / name) == meant) << variant << ": " << name;
        }
      }
      ClearReadOnly(folder);
    }
    // Until a run ends before its cut: how many of its steps the run thread
    // takes depends on how far the read-ahead got.
    bool cutShort = true;
    int cutAt = 1;
    for (; cutShort; ++cutAt) {
      SCOPED_TRACE(variant + ": power cut at step " + std::to_string(cutAt));
      testing::TempFolder folder, program;
      PlaceFiles(folder);
      CutFileSystem cut(cutAt, writesOut);
      try {
        PlannedRun(stop).Run(folder, program.Path(), cut);
      } catch (const PowerCut&) {
      }
      cutShort = cut.Cut();
      cut.Restart(killed);

      for (const Planned& planned : Plan()) {
        const std::string now = ReadFileBytes(folder / planned.name);
        EXPECT_TRUE(now == planned.before || now == planned.meant || (killed && !planned.otherName.empty()))
            << planned.name << " holds " << now.size() << " bytes";
      }
      ClearReadOnly(folder);
      UndoStore restarted({program / "undo"});
      UndoStore::Choice choice = restarted.HoldRunToUndo();
      if (choice.store) {
        NoHost host;
        const UndoStore::Outcome outcome = restarted.Restore(choice, host);
        EXPECT_TRUE(outcome.kept.empty());
      }
      for (const Planned& planned : Plan()) {
        for (const std::string& name : {planned.name, planned.otherName}) {
          EXPECT_TRUE(name.empty() || ReadFileBytes(folder / name) == planned.before) << name << " not given back";
        }
      }
      // The undo removed every new file of the run's that its journal named;
      // only a power cut can lose the line that names one.
      for (const std::string& name : testing::NamesIn(folder.Path())) {
        EXPECT_TRUE(plannedNames.contains(name) || (!killed && name.starts_with("~vnx"))) << name << " left behind";
      }
    }
    EXPECT_GT(cutAt, 50) << variant;
  }
}

}  // namespace
}  // namespace varnex
