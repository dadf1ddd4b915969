#include "engine/error.h"

namespace varnex {

std::string_view ReasonText(FailureReason reason) {
  switch (reason) {
    case FailureReason::kUnknown:
    case FailureReason::kOther:
      return {};
    case FailureReason::kNotFound:
      return "The file or its folder does not exist.";
    case FailureReason::kHeldOpen:
      return "Another program holds the file open.";
    case FailureReason::kReadOnly:
      return "The file is read-only.";
    case FailureReason::kBinaryData:
      return "The file holds binary data, not text.";
    case FailureReason::kPathTooLong:
      return "The path is too long.";
    case FailureReason::kAccessDenied:
      return "Access to the file or its folder is denied.";
    case FailureReason::kReplaceNotInCodePage:
      return "The replace text has characters that the file's ANSI code page cannot hold.";
    case FailureReason::kFolder:
      return "It is a folder, not a file.";
    case FailureReason::kDiskFull:
      return "The disk is full.";
    case FailureReason::kChangedMeanwhile:
      return "Another program changed the file while it was being replaced.";
    case FailureReason::kOutOfMemory:
      return "There is not enough memory.";
  }
  return {};
}

std::string Error::ReasonLine() const {
  return reason_ == FailureReason::kOther ? WithFullStop(detail_) : std::string(ReasonText(reason_));
}

}  // namespace varnex
