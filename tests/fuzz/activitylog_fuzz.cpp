// Two starts of the program over an existing log file of any bytes: no line the
// file held is lost, a file with a NUL keeps every byte and is only appended
// to, any other file is put into the line model's shape once and then grows
// by the new lines. Input: the log file's bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/textlines.h"
#include "run/activitylog.h"
#include "tests/fuzz/check.h"

namespace {

struct MemoryFile : varnex::LogStorage {
  std::string bytes;
  int rewrites = 0;

  std::optional<std::string> Load() override { return bytes; }
  void Rewrite(std::string_view data) override {
    bytes = data;
    ++rewrites;
  }
  void Append(std::string_view data) override { bytes += data; }
};

bool StartsWithLines(const std::vector<std::string_view>& lines, const std::vector<std::string_view>& head) {
  return lines.size() >= head.size() && std::equal(head.begin(), head.end(), lines.begin());
}

void OneStart(MemoryFile& file) {
  const std::string before = file.bytes;
  const int rewritesBefore = file.rewrites;
  const std::vector<std::string_view> linesBefore = varnex::SplitLines(before);

  varnex::ActivityLog log(file, [] { return std::string("T"); });
  log.Open();
  log.RecordReplacement("a\r\nb", "C:\\f.txt", "c");
  log.Close();

  // What the program holds: the file's lines, then its own three.
  const std::vector<std::string>& held = log.Lines();
  FUZZ_CHECK(held.size() == linesBefore.size() + 3);
  FUZZ_CHECK(std::equal(linesBefore.begin(), linesBefore.end(), held.begin()));
  const std::string added = varnex::JoinLines(std::span(held).last(3));

  const std::vector<std::string_view> linesAfter = varnex::SplitLines(file.bytes);
  FUZZ_CHECK(StartsWithLines(linesAfter, linesBefore));
  if (before.find('\0') != before.npos) {
    FUZZ_CHECK(file.rewrites == rewritesBefore);
    FUZZ_CHECK(file.bytes.starts_with(before));
    // The new lines start on a line of their own.
    const bool endsOnLineEnd = before.back() == '\r' || before.back() == '\n';
    FUZZ_CHECK(file.bytes.substr(before.size()) == (endsOnLineEnd ? "" : "\r\n") + added);
  } else {
    FUZZ_CHECK(file.rewrites == rewritesBefore + 1);
    FUZZ_CHECK(file.bytes == varnex::NormalizeLineEnds(before) + added);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryFile file;
  file.bytes.assign(reinterpret_cast<const char*>(data), size);
  OneStart(file);
  OneStart(file);
  return 0;
}
