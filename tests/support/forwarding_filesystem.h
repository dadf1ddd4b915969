#pragma once
// The system's file calls, each one passed on as it is: a test file system
// derives from it and overrides only the calls it watches or changes.

#include <string>
#include <vector>

#include "framework/filesystem.h"

namespace varnex::testing {

class ForwardingFileSystem : public FileSystem {
 public:
  FileHandle Open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
    return real_.Open(path, access, share, disposition, flags);
  }
  bool Read(HANDLE file, void* buffer, DWORD size, DWORD& read) override { return real_.Read(file, buffer, size, read); }
  bool Write(HANDLE file, const void* buffer, DWORD size, DWORD& written) override {
    return real_.Write(file, buffer, size, written);
  }
  bool Flush(HANDLE file) override { return real_.Flush(file); }
  bool WriteOut(HANDLE file) override { return real_.WriteOut(file); }
  bool Size(HANDLE file, LARGE_INTEGER& size) override { return real_.Size(file, size); }
  bool Stamp(HANDLE file, FileStamp& stamp) override { return real_.Stamp(file, stamp); }
  bool Replace(const std::string& replaced, const std::string& replacement, const std::string& backup) override {
    return real_.Replace(replaced, replacement, backup);
  }
  bool Move(const std::string& from, const std::string& to, DWORD flags) override { return real_.Move(from, to, flags); }
  bool Copy(const std::string& from, const std::string& to) override { return real_.Copy(from, to); }
  bool Link(const std::string& existing, const std::string& link) override { return real_.Link(existing, link); }
  bool Remove(const std::string& path) override { return real_.Remove(path); }
  DWORD Attributes(const std::string& path) override { return real_.Attributes(path); }
  bool SetAttributes(const std::string& path, DWORD attributes) override {
    return real_.SetAttributes(path, attributes);
  }
  bool PathStamp(const std::string& path, FileStamp& stamp) override { return real_.PathStamp(path, stamp); }
  bool BasicInfo(HANDLE file, FILE_BASIC_INFO& info) override { return real_.BasicInfo(file, info); }
  bool SetBasicInfo(HANDLE file, const FILE_BASIC_INFO& info) override { return real_.SetBasicInfo(file, info); }
  bool ReplaceKeepsMore() override { return real_.ReplaceKeepsMore(); }
  void Pause(DWORD milliseconds) override { real_.Pause(milliseconds); }
  bool ReadAt(HANDLE file, ULONGLONG offset, void* buffer, DWORD size, DWORD& read) override {
    return real_.ReadAt(file, offset, buffer, size, read);
  }
  bool SetEnd(HANDLE file, ULONGLONG size) override { return real_.SetEnd(file, size); }
  bool MakeFolder(const std::string& path) override { return real_.MakeFolder(path); }
  bool RemoveFolder(const std::string& path) override { return real_.RemoveFolder(path); }
  bool Identity(HANDLE file, FileIdentity& identity) override { return real_.Identity(file, identity); }
  bool FindNames(const std::string& pattern, std::vector<std::string>& names) override {
    return real_.FindNames(pattern, names);
  }

 protected:
  ~ForwardingFileSystem() = default;

 private:
  FileSystem& real_ = SystemFileSystem();
};

}  // namespace varnex::testing
