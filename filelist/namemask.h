#pragma once
// A scan's file mask ("*.txt", "report??.md") matched against the names a
// folder's listing gives, so that each folder is listed once whatever the
// mask: a masked FindFirstFileW reads the whole folder as an unmasked one does,
// and a scan with a mask used to list every folder twice (once for the mask,
// once for the subfolders). "*" stands for any run of characters, "?" for one;
// letters match whatever their case, as CharUpperBuffW folds them. Only long
// names are matched: unlike FindFirstFileW on NTFS, "*.htm" does not take
// "page.html" through its 8.3 short name.

#include <windows.h>

#include <string>
#include <string_view>

namespace varnex {

class NameMask {
 public:
  explicit NameMask(std::string_view mask);

  bool Matches(const WIN32_FIND_DATAW& entry) const;

 private:
  bool takesEveryName_;
  std::string folded_;
};

}  // namespace varnex
