#pragma once
// What a file's bytes are, told in one pass as they are read: whether they
// are ASCII alone, whether a NUL is among them, and whether they are already
// in the line model's shape. Fed piece by piece while each piece is still in
// the cache, a file of hundreds of megabytes is not walked three more times
// from memory.

#include <cstddef>
#include <string_view>

namespace varnex {

class ByteSurvey {
 public:
  // The next piece of the bytes, in order; pieces may split a CR LF.
  void Add(std::string_view piece);

  // No byte above 127: ASCII alone, valid in every encoding but UTF-16.
  bool Ascii() const { return !high_; }
  bool HoldsNul() const { return nul_; }
  // As IsInLineShape of all the pieces together: every line ended by CR LF,
  // the last one too, and no NUL.
  bool InLineShape() const { return !nul_ && !loneBreak_ && !lastCr_ && (empty_ || lastLf_); }

 private:
  void AddByte(char byte);

  bool high_ = false;
  bool nul_ = false;
  bool loneBreak_ = false;
  bool lastCr_ = false;  // the bytes so far end with a CR, which the next must pair
  bool lastLf_ = false;
  bool empty_ = true;
};

}  // namespace varnex
