#include "filelist/namemask.h"

#include "engine/exclusions.h"
#include "framework/unicode.h"

namespace varnex {
namespace {

std::string Folded(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return Utf8(text);
}

}  // namespace

NameMask::NameMask(std::string_view mask)
    : takesEveryName_(mask == "*" || mask == "*.*"), folded_(Folded(Wide(mask))) {}

bool NameMask::Matches(const WIN32_FIND_DATAW& entry) const {
  return takesEveryName_ || MatchesMask(folded_, Folded(entry.cFileName));
}

}  // namespace varnex
