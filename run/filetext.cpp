#include "run/filetext.h"

#include "engine/regexmatcher.h"
#include "framework/unicode.h"

namespace varnex {
namespace {

bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

bool ToFileText(std::string_view text, TextEncoding encoding, std::string& fileText) {
  if (encoding == TextEncoding::kAnsi) return ToAnsi(text, fileText);
  fileText.assign(text);
  return true;
}

MatchTexts FileTexts::ForMatching() const { return {find, replace, encoding != TextEncoding::kAnsi}; }

bool FileTexts::BringLineBreaks() const { return pattern || HoldsLineBreak(find) || HoldsLineBreak(replace); }

void FileTexts::RefuseUnlessReplaceFits(const std::string& path) const {
  if (!replaceFits) throw Error::Format(kCannotOpenFile, path).Because(FailureReason::kReplaceNotInCodePage);
}

std::unique_ptr<Matcher> MatcherFor(const RunOptions& options) {
  return options.regularExpression ? MakeRegexMatcher() : MakeLiteralMatcher();
}

FileTexts FileTextsInTurn::For(const std::string& path, const TargetFile& file, FileWalkHost& host,
                               Replacer& replacer) {
  FileTexts texts;
  texts.typedFind = host.FindText();
  texts.typedReplace = host.ReplaceText();
  texts.pattern = host.Options().regularExpression;
  if (host.Options().dynamicVariables) {
    texts.typedFind = replacer.ExpandVariables(texts.typedFind, path, MatchText::kFind);
    texts.typedReplace = replacer.ExpandVariables(texts.typedReplace, path, MatchText::kReplace);
  }
  if (converted_ && lastRead_ == file.encoding && lastAscii_ == file.ascii && last_.typedFind == texts.typedFind &&
      last_.typedReplace == texts.typedReplace) {
    last_.pattern = texts.pattern;
    return last_;
  }
  const auto convert = [&texts] {
    texts.findFits = ToFileText(texts.typedFind, texts.encoding, texts.find);
    texts.replaceFits = ToFileText(texts.typedReplace, texts.encoding, texts.replace);
  };
  texts.encoding = file.encoding;
  convert();
  // A file of ASCII alone is as much UTF-8 as ANSI: it takes the texts its
  // code page cannot hold as UTF-8, and stays as it was where they do not match.
  if (!(texts.findFits && texts.replaceFits) && file.ascii) {
    texts.encoding = TextEncoding::kUtf8;
    convert();
  }
  // A replace text the file cannot hold refuses it, but only where it would be
  // changed: searched with an empty replacement instead, its text changes
  // wherever the find text is.
  if (!texts.replaceFits) texts.replace.clear();
  last_ = texts;
  lastRead_ = file.encoding;
  lastAscii_ = file.ascii;
  converted_ = true;
  return texts;
}

}  // namespace varnex
