#include "framework/settings.h"

#include <windows.h>

#include "engine/error.h"

namespace varnex {
namespace {

constexpr DWORD kValueBuffer = 2048;
constexpr std::string_view kUnableToWrite = "Unable to write to %s";

}  // namespace

std::string SettingsStore::Read(const char* section, const char* key) const {
  char value[kValueBuffer];
  const DWORD length = GetPrivateProfileStringA(section, key, "", value, kValueBuffer, path_.c_str());
  return std::string(value, length);
}

void SettingsStore::Write(const char* section, const char* key, const std::string& value) const {
  if (!WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str())) {
    throw Error::Format(kUnableToWrite, path_);
  }
}

}  // namespace varnex
