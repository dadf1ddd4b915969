// The line model on any bytes: the split agrees with a byte-by-byte reading,
// normalising is splitting and joining and changes nothing the second time,
// and nothing behind a NUL counts. Input: the bytes of a file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/textlines.h"
#include "tests/fuzz/check.h"

namespace {

using Lines = std::vector<std::string_view>;

// One byte at a time: CR LF is one line end, any other CR or LF one of its own.
Lines PlainSplit(std::string_view bytes) {
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  Lines lines;
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\r' && text[at] != '\n') continue;
    lines.push_back(text.substr(start, at - start));
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
    start = at + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// The same lines, and views of the same bytes.
bool SameViews(const Lines& a, const Lines& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].data() != b[i].data() || a[i].size() != b[i].size()) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::string_view beforeNul = varnex::TextBeforeNul(bytes);
  FUZZ_CHECK(beforeNul.data() == bytes.data() && beforeNul == bytes.substr(0, bytes.find('\0')));

  const Lines lines = varnex::SplitLines(bytes);
  FUZZ_CHECK(SameViews(lines, PlainSplit(bytes)));
  for (std::string_view line : lines) FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == line.npos);
  // A recycled list lends only its memory.
  FUZZ_CHECK(SameViews(varnex::SplitLines(bytes, Lines(3, bytes)), lines));

  const std::string normal = varnex::NormalizeLineEnds(bytes);
  FUZZ_CHECK(normal == varnex::JoinLines(lines));
  FUZZ_CHECK(normal == varnex::NormalizeLineEnds(bytes, std::string(bytes) + "junk"));
  FUZZ_CHECK(normal == varnex::JoinLines(lines, std::string(size, 'x')));
  FUZZ_CHECK(normal.empty() || normal.ends_with("\r\n"));

  // Written back and read again, the text is what it was.
  FUZZ_CHECK(varnex::NormalizeLineEnds(normal) == normal);
  FUZZ_CHECK(varnex::SplitLines(normal) == lines);
  FUZZ_CHECK(varnex::JoinLines(varnex::SplitLines(normal)) == normal);

  // Text behind a NUL changes nothing.
  FUZZ_CHECK(normal.find('\0') == normal.npos);
  FUZZ_CHECK(varnex::SplitLines(beforeNul) == lines);
  FUZZ_CHECK(varnex::NormalizeLineEnds(beforeNul) == normal);
  return 0;
}
