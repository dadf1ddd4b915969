#pragma once
// Failures are raised as Error, carrying the text the user is shown.

#include <stdexcept>
#include <string>
#include <string_view>

namespace varnex {

inline constexpr std::string_view kCannotOpenFile = "Cannot open file %s";
inline constexpr std::string_view kCannotCreateFile = "Cannot create file %s";

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  // The message `pattern` with its %s replaced by `argument`.
  static Error Format(std::string_view pattern, std::string_view argument) {
    std::string message(pattern);
    const std::size_t at = message.find("%s");
    if (at != std::string::npos) message.replace(at, 2, argument);
    return Error(message);
  }
};

// The text of the general error report: the message with a full stop added when
// its last character sorts after one (letters and digits do, "!" and ")" do not).
inline std::string WithFullStop(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

}  // namespace varnex
