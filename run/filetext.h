#pragma once
// The find and replace texts, as typed and as the dynamic variables make
// them, are UTF-8. A file is searched with them in the run's 8-bit form of
// that file (see engine/encoding.h): UTF-8 and UTF-16 files take them as they
// are, ANSI files in their code page.

#include <memory>
#include <string>
#include <string_view>

#include "engine/encoding.h"
#include "run/filewalk.h"
#include "run/replacer.h"
#include "run/targetfile.h"

namespace varnex {

// False when the file is an ANSI file and its code page has no form for one
// of the text's characters: nothing stands in for it, so no such file can
// hold the text.
bool ToFileText(std::string_view text, TextEncoding encoding, std::string& fileText);

// The texts one file is searched with, as a run and a preview of it take
// them alike.
struct FileTexts {
  std::string typedFind;     // as typed, the dynamic variables expanded for the file: as logged
  std::string typedReplace;
  std::string find;          // in the file's 8-bit form
  std::string replace;       // empty where it does not fit
  TextEncoding encoding = TextEncoding::kAnsi;  // the file's, unless an ASCII file takes the texts as UTF-8
  bool findFits = true;      // an ANSI file whose code page lacks a character of the find text holds no occurrence
  bool replaceFits = true;
  bool pattern = false;      // the find text is a regular expression

  // The file's texts as its matcher takes them.
  MatchTexts ForMatching() const;
  // Whether a CR or LF comes with the texts, which then become line ends of
  // the file's own kind; a pattern may match line ends, and its replacement
  // bring them in as \n or \r.
  bool BringLineBreaks() const;
  // Refuses the file at `path`, which would change, where the replace text
  // does not fit it: it is left as it was rather than given stand-ins.
  void RefuseUnlessReplaceFits(const std::string& path) const;
};

// The way a run with these options finds the find text.
std::unique_ptr<Matcher> MatcherFor(const RunOptions& options);

// The texts of the window for each file of a walk in turn, as read. The
// texts are read for every file; they are converted to a file's form again
// only where they, or the file's encoding, differ from the file's before:
// in most runs, at the first file alone.
class FileTextsInTurn {
 public:
  FileTexts For(const std::string& path, const TargetFile& file, FileWalkHost& host, Replacer& replacer);

 private:
  FileTexts last_;
  TextEncoding lastRead_ = TextEncoding::kAnsi;  // the last file's encoding, and whether it was ASCII
  bool lastAscii_ = false;
  bool converted_ = false;
};

}  // namespace varnex
