#pragma once
// The replace text of a regular-expression run, read once per file into
// pieces: text to copy and groups of the match to put in. Syntax:
// $1..$99, ${1}, ${name}, $& (and $0) for the whole match, $$ for a dollar;
// \1..\9 for groups, \n \r \t, \\ and \$. Any other backslash or dollar is
// itself, so a folder such as C:\docs stays as typed.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

class ReplaceTemplate {
 public:
  struct Piece {
    std::string text;  // copied as it is where `group` is -1
    int group = -1;
  };

  // `groups` is how many groups the pattern has; `groupNamed` the number of a
  // named one, or -1. A name the pattern does not have is refused (Error).
  ReplaceTemplate(std::string_view replaceText, int groups, const std::function<int(std::string_view)>& groupNamed);

  // The replacement for one match; `group(i)` is the text group i took (empty
  // where it took part in no match).
  template <class Group>
  void AppendTo(std::string& out, Group&& group) const {
    for (const Piece& piece : pieces_) {
      if (piece.group < 0) {
        out += piece.text;
      } else {
        out += group(piece.group);
      }
    }
  }

 private:
  void AddText(std::string_view text);
  void AddGroup(int group);

  std::vector<Piece> pieces_;
};

// `text` made to stand for itself: in a find text, its pattern characters
// escaped; in a replace text, its dollars and backslashes doubled. Dynamic
// variables' values go through these, so a path is never read as a pattern.
std::string QuotePatternText(std::string_view text);
std::string QuoteReplaceText(std::string_view text);

}  // namespace varnex
