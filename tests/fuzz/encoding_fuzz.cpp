// File encodings: whatever a file holds, a text file comes back byte for byte
// when its text is written in the encoding it was read in, and UTF-8 validity
// agrees with a plain decoder. Input: a file's bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/encoding.h"
#include "tests/fuzz/check.h"

namespace {

using varnex::TextEncoding;

// Strict UTF-8 decoding, one sequence after another.
bool PlainValidUtf8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || at + length > bytes.size()) return false;
    std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(bytes[at + i]);
      if ((next >> 6) != 2) return false;
      code = code << 6 | (next & 0x3F);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    at += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(varnex::IsValidUtf8(bytes) == PlainValidUtf8(bytes));

  const TextEncoding encoding = varnex::DetectEncoding(bytes);
  if (!varnex::IsTextIn(bytes, encoding)) return 0;
  const std::string text = varnex::DecodeFileText(bytes, encoding);
  FUZZ_CHECK(varnex::EncodeFileText(text, encoding) == bytes);
  FUZZ_CHECK(varnex::TakeFileText(std::string(bytes), encoding) == text);
  FUZZ_CHECK(varnex::GiveFileText(std::string(text), encoding) == bytes);
  // No NUL where the encoding allows none, so none in the text either.
  FUZZ_CHECK(text.find('\0') == std::string::npos);
  return 0;
}
