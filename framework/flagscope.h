#pragma once
// A flag raised for the length of a scope and lowered on every way out, an
// exception included, so a failure cannot leave it standing.

namespace varnex {

class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace varnex
