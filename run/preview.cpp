#include "run/preview.h"

#include <utility>

#include "engine/lineends.h"
#include "engine/previewline.h"
#include "engine/textlines.h"
#include "framework/unicode.h"
#include "run/filetext.h"
#include "run/replacer.h"

namespace varnex {
namespace {

// Bytes of a line kept on either side of its first occurrence: enough to know
// the place by, and the occurrence still in sight in a column of the preview.
constexpr std::size_t kRoom = 20;

constexpr char kCut[] = "\xE2\x80\xA6";        // …
constexpr char kLineBreak[] = "\xC2\xB6";      // ¶

std::string Shown(std::string_view text, TextEncoding encoding, bool cutBefore, bool cutAfter) {
  const std::string utf8 = encoding == TextEncoding::kAnsi ? FromAnsi(text) : std::string(text);
  std::string shown = cutBefore ? kCut : "";
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    if (utf8.compare(at, 2, "\r\n") == 0) {
      shown += kLineBreak;
      ++at;
    } else {
      shown += utf8[at];
    }
  }
  if (cutAfter) shown += kCut;
  return shown;
}

// The replace text's CR and LF as the run makes them, line ends of the file's
// kind. The line model ends every line, the last included; a shown line ends
// where it did.
std::string WithLineEnds(std::string text) {
  const bool ended = !text.empty() && (text.back() == '\n' || text.back() == '\r');
  std::string lines = NormalizeLineEndsOwned(std::move(text));
  if (!ended && lines.ends_with("\r\n")) lines.resize(lines.size() - 2);
  return lines;
}

FileOutcome PreviewTargetFile(const std::string& path, TargetFile file, PreviewHost& host, Replacer& replacer,
                              FileTextsInTurn& textsInTurn, FileSystem& fileSystem) {
  const FileTexts texts = textsInTurn.For(path, file, host, replacer);
  if (!texts.findFits) return {};
  std::string decoded = TakeFileText(std::move(file.bytes), texts.encoding);
  const bool lineEndsChange = !host.Options().keepLineEnds && HoldsLoneLineBreak(decoded);
  // The text the run searches, line ends and all.
  const std::string text = NormalizeLineEndsOwned(std::move(decoded));
  std::vector<ShownOccurrence> shownOccurrences;
  const Occurrences found = replacer.FindStr(text, texts.ForMatching(), [&](MatchSpan span) {
    if (shownOccurrences.empty() ||
        span.offset < shownOccurrences.front().offset + shownOccurrences.front().length + kRoom) {
      shownOccurrences.push_back({span.offset, span.length, std::string(span.replacement)});
    }
  });
  if (!found.changesText) return {};
  texts.RefuseUnlessReplaceFits(path);
  // A file the run could not write would fail, not change.
  CheckRewritable(path, fileSystem);

  PreviewLine line = FirstOccurrenceLine(text, shownOccurrences, kRoom, texts.encoding != TextEncoding::kAnsi);
  if (texts.BringLineBreaks()) line.after = WithLineEnds(std::move(line.after));
  host.WouldChange({path, found.count, line.number, Shown(line.before, texts.encoding, line.cutBefore, line.cutAfter),
                    Shown(line.after, texts.encoding, line.cutBefore, line.cutAfter), lineEndsChange});
  return {.changed = true};
}

}  // namespace

RunCounts PreviewBatch(const std::vector<std::string>& files, FileSystem& fileSystem, PreviewHost& host) {
  Replacer replacer(MatcherFor(host.Options()), [&host] { return host.CaseSensitive(); },
                    [&host] { host.ProcessPendingEvents(); });
  FileTextsInTurn texts;
  return WalkFiles(files, fileSystem, host,
                   {.process = [&](const std::string& path, TargetFile file, ReadAhead&) {
                     return PreviewTargetFile(path, std::move(file), host, replacer, texts, fileSystem);
                   }});
}

}  // namespace varnex
