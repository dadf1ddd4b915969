#pragma once
// The iterators a regular-expression search walks a text with: bytes for an
// ANSI file, code points decoded from UTF-8 for a Unicode one (so '.' is one
// character, never part of one). Every step is counted against the search's
// budget, which is how a pattern that backtracks without end on a text is
// caught, and how pending events are let through during a long search.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>

#include "engine/matcher.h"

namespace varnex {

// A search that spends far more steps than the ground it covers (catastrophic
// backtracking): the text is left as it was.
class RunawaySearch : public SearchRefused {
 public:
  using SearchRefused::SearchRefused;
};

// The steps of one search. Progress is the furthest byte the search has
// looked at; each step costs credit and every byte of new ground earns some
// back, up to a ceiling, so a long honest search never runs dry while one that
// turns in place runs out within a fraction of a second, wherever in the text
// it is.
class SearchBudget {
 public:
  static constexpr std::int64_t kStepsPerCheck = 1 << 16;
  static constexpr std::int64_t kStepsPerByte = 256;
  static constexpr std::int64_t kCeiling = std::int64_t(1) << 21;

  // `pause` is called at every check, every kStepsPerCheck steps.
  explicit SearchBudget(std::function<void()> pause) : pause_(std::move(pause)) {}

  void Start(const char* at) {
    furthest_ = at;
    credit_ = kCeiling;
    countdown_ = kStepsPerCheck;
  }
  void Step(const char* at) {
    if (--countdown_ == 0) Check(at);
  }

 private:
  void Check(const char* at);

  std::function<void()> pause_;
  const char* furthest_ = nullptr;
  std::int64_t credit_ = kCeiling;
  std::int64_t countdown_ = kStepsPerCheck;
};

// The steps after, given by the steps before (Boost uses both).
template <class Cursor>
struct PostfixSteps {
  Cursor operator++(int) {
    Cursor before = Self();
    ++Self();
    return before;
  }
  Cursor operator--(int) {
    Cursor before = Self();
    --Self();
    return before;
  }

 private:
  Cursor& Self() { return static_cast<Cursor&>(*this); }
};

// Bytes, one character each.
class ByteCursor : public PostfixSteps<ByteCursor> {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using PostfixSteps::operator++;
  using PostfixSteps::operator--;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  ByteCursor() = default;
  ByteCursor(const char* at, SearchBudget* budget) : at_(at), budget_(budget) {}

  const char* Position() const { return at_; }
  ByteCursor At(const char* at) const { return ByteCursor(at, budget_); }
  // Whether a byte may start a match, by the pattern's start map.
  static bool MayStart(const unsigned char* map, unsigned char mask, char c) {
    return (map[static_cast<unsigned char>(c)] & mask) != 0;
  }

  reference operator*() const { return *at_; }
  reference operator[](difference_type n) const { return at_[n]; }
  ByteCursor& operator++() {
    ++at_;
    budget_->Step(at_);
    return *this;
  }
  ByteCursor& operator--() {
    --at_;
    budget_->Step(at_);
    return *this;
  }
  ByteCursor& operator+=(difference_type n) {
    at_ += n;
    budget_->Step(at_);
    return *this;
  }
  ByteCursor& operator-=(difference_type n) { return *this += -n; }
  friend ByteCursor operator+(ByteCursor c, difference_type n) { return c += n; }
  friend ByteCursor operator+(difference_type n, ByteCursor c) { return c += n; }
  friend ByteCursor operator-(ByteCursor c, difference_type n) { return c -= n; }
  friend difference_type operator-(const ByteCursor& a, const ByteCursor& b) { return a.at_ - b.at_; }
  friend bool operator==(const ByteCursor& a, const ByteCursor& b) { return a.at_ == b.at_; }
  friend auto operator<=>(const ByteCursor& a, const ByteCursor& b) { return a.at_ <=> b.at_; }

 private:
  const char* at_ = nullptr;
  SearchBudget* budget_ = nullptr;
};

// A byte that is not part of valid UTF-8 stands as a code point of its own
// that no character has (a lone surrogate): it matches only itself and '.'.
inline constexpr char32_t kStrayByteBase = 0xDC00;

// The code point of the UTF-8 sequence at `at` and its length. A byte that
// starts no valid sequence is a character of its own (kStrayByteBase + byte);
// surrogates encoded as three bytes, as a UTF-16 file's lone ones are kept,
// count as characters.
struct CodePoint {
  char32_t value;
  int length;
};
inline CodePoint DecodeUtf8(const unsigned char* at, const unsigned char* end) {
  const unsigned char lead = at[0];
  if (lead < 0x80) return {lead, 1};
  const auto continuation = [&](int i) { return at + i < end && (at[i] & 0xC0) == 0x80; };
  const CodePoint stray{static_cast<char32_t>(kStrayByteBase | lead), 1};
  if (lead >= 0xC2 && lead <= 0xDF) {
    if (!continuation(1)) return stray;
    return {static_cast<char32_t>((lead & 0x1F) << 6 | (at[1] & 0x3F)), 2};
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!continuation(1) || !continuation(2) || (lead == 0xE0 && at[1] < 0xA0)) return stray;
    return {static_cast<char32_t>((lead & 0x0F) << 12 | (at[1] & 0x3F) << 6 | (at[2] & 0x3F)), 3};
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!continuation(1) || !continuation(2) || !continuation(3)) return stray;
    if ((lead == 0xF0 && at[1] < 0x90) || (lead == 0xF4 && at[1] > 0x8F)) return stray;
    return {static_cast<char32_t>((lead & 0x07) << 18 | (at[1] & 0x3F) << 12 | (at[2] & 0x3F) << 6 | (at[3] & 0x3F)),
            4};
  }
  return stray;
}

// Code points decoded as the search walks; a step back finds the sequence
// that ends where it stands, as a walk forward from the text's start would.
class Utf8Cursor : public PostfixSteps<Utf8Cursor> {
 public:
  using iterator_category = std::bidirectional_iterator_tag;
  using PostfixSteps::operator++;
  using PostfixSteps::operator--;
  using value_type = char32_t;
  using difference_type = std::ptrdiff_t;
  using pointer = const char32_t*;
  using reference = char32_t;

  Utf8Cursor() = default;
  Utf8Cursor(const char* at, const char* begin, const char* end, SearchBudget* budget)
      : at_(Bytes(at)), begin_(Bytes(begin)), end_(Bytes(end)), budget_(budget) {}

  const char* Position() const { return reinterpret_cast<const char*>(at_); }
  Utf8Cursor At(const char* at) const { return Utf8Cursor(at, Position() - (at_ - begin_), Position() + (end_ - at_), budget_); }
  // Whether a byte may start a match: an ASCII one by the pattern's start
  // map, any other as the start of a character beyond it.
  static bool MayStart(const unsigned char* map, unsigned char mask, char c) {
    return static_cast<unsigned char>(c) >= 0x80 || (map[static_cast<unsigned char>(c)] & mask) != 0;
  }

  char32_t operator*() const { return DecodeUtf8(at_, end_).value; }
  Utf8Cursor& operator++() {
    at_ += DecodeUtf8(at_, end_).length;
    budget_->Step(Position());
    return *this;
  }
  Utf8Cursor& operator--() {
    int back = 1;
    for (int length = 4; length > 1; --length) {
      if (at_ - begin_ >= length && DecodeUtf8(at_ - length, end_).length == length) {
        back = length;
        break;
      }
    }
    at_ -= back;
    budget_->Step(Position());
    return *this;
  }
  friend bool operator==(const Utf8Cursor& a, const Utf8Cursor& b) { return a.at_ == b.at_; }

 private:
  static const unsigned char* Bytes(const char* p) { return reinterpret_cast<const unsigned char*>(p); }

  const unsigned char* at_ = nullptr;
  const unsigned char* begin_ = nullptr;
  const unsigned char* end_ = nullptr;
  SearchBudget* budget_ = nullptr;
};

}  // namespace varnex
