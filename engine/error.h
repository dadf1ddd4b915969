#pragma once
// Failures are raised as Error, carrying the text the user is shown.

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace varnex {

inline constexpr std::string_view kCannotOpenFile = "Cannot open file %s";
inline constexpr std::string_view kCannotCreateFile = "Cannot create file %s";

// Why a file could not be done, told to the user on a line of its own under
// the message. A run tells some of them apart (a binary file is not a file
// that failed to open), so they are kinds, not only texts.
enum class FailureReason {
  kUnknown,
  kNotFound,
  kHeldOpen,
  kReadOnly,
  kBinaryData,
  kPathTooLong,
  kAccessDenied,
  kReplaceNotInCodePage,
  kFolder,
  kDiskFull,
  kChangedMeanwhile,
  kOutOfMemory,
  kOther,  // the system's own words, or the failure that stopped the file, go with it
};

// The reason as the user reads it: a sentence, with its full stop.
std::string_view ReasonText(FailureReason reason);

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  // The same failure with its reason; `detail` is the text of kOther.
  Error Because(FailureReason reason, std::string detail = {}) const {
    Error error(*this);
    error.reason_ = reason;
    error.detail_ = std::move(detail);
    return error;
  }
  FailureReason Reason() const { return reason_; }
  // What the user reads on the line under the message; empty where no reason is known.
  std::string ReasonLine() const;

  // The message `pattern` with its %s replaced by `argument`.
  static Error Format(std::string_view pattern, std::string_view argument) {
    std::string message(pattern);
    const std::size_t at = message.find("%s");
    if (at != std::string::npos) message.replace(at, 2, argument);
    return Error(message);
  }

 private:
  FailureReason reason_ = FailureReason::kUnknown;
  std::string detail_;
};

// The text of the general error report: the message with a full stop added when
// its last character sorts after one (letters and digits do, "!" and ")" do not).
inline std::string WithFullStop(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

// The failure as the user reads it: its message with a full stop, then its
// reason after `between` (a line break in a box, a blank in a log line).
inline std::string WithReason(const Error& failure, std::string_view between) {
  std::string text = WithFullStop(failure.what());
  const std::string reason = failure.ReasonLine();
  if (!reason.empty()) text.append(between).append(reason);
  return text;
}

}  // namespace varnex
