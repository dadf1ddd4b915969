#include "engine/leftout.h"

#include <vector>

#include "engine/error.h"

namespace varnex {
namespace {

std::string Counted(int count, std::string_view one, std::string_view many) {
  return WithThousands(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

std::string WithThousands(long long number) {
  std::string digits = std::to_string(number < 0 ? -number : number);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return number < 0 ? "-" + digits : digits;
}

std::string LeftOutText(int binaryFiles, int excludedFolders, int excludedFiles) {
  std::vector<std::string> parts;
  if (binaryFiles > 0) parts.push_back(Counted(binaryFiles, "binary file", "binary files"));
  if (excludedFolders > 0) parts.push_back(Counted(excludedFolders, "excluded folder", "excluded folders"));
  if (excludedFiles > 0) parts.push_back(Counted(excludedFiles, "excluded file", "excluded files"));
  if (parts.empty()) return {};
  std::string text = parts.front();
  for (std::size_t index = 1; index < parts.size(); ++index) {
    text += (index + 1 == parts.size() ? " and " : ", ") + parts[index];
  }
  const bool one = parts.size() == 1 && (binaryFiles + excludedFolders + excludedFiles) == 1;
  return text + (one ? " was left out." : " were left out.");
}

std::string NoMatchText(std::string_view folder, std::string_view mask) {
  return "No files in " + std::string(folder) + " match " + std::string(mask) + ".";
}

std::string SkippedText(int binaryFiles) {
  if (binaryFiles <= 0) return {};
  return Counted(binaryFiles, "binary file was skipped.", "binary files were skipped.");
}

std::string SkippedFileText(std::string_view path) {
  return "Skipped " + std::string(path) + ". " + std::string(ReasonText(FailureReason::kBinaryData));
}

}  // namespace varnex
