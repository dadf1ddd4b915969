// A filename list file as the file list reads and writes it (filelist/listfile.cpp
// around the disk access): every entry is one file name, and a list saved and
// loaded back is the same list. Input: the bytes of a list file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/textlines.h"
#include "tests/fuzz/check.h"

namespace {

using Entries = std::vector<std::string>;

Entries Load(std::string_view bytes) {
  Entries entries;
  for (std::string_view line : varnex::SplitLines(bytes)) entries.emplace_back(line);
  return entries;
}

std::string Save(const Entries& entries) { return varnex::JoinLines(entries); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const Entries entries = Load(bytes);
  for (const std::string& entry : entries)
    FUZZ_CHECK(entry.find_first_of(std::string_view("\r\n\0", 3)) == entry.npos);

  const std::string saved = Save(entries);
  FUZZ_CHECK(saved == varnex::NormalizeLineEnds(bytes));
  FUZZ_CHECK(Load(saved) == entries);
  FUZZ_CHECK(Save(Load(saved)) == saved);
  return 0;
}
