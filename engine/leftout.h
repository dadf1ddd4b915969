#pragma once
// The sentences that tell what a scan or a run left out, and why.

#include <string>
#include <string_view>

namespace varnex {

// 1204 as "1,204".
std::string WithThousands(long long number);

// "1,204 binary files and 3 excluded folders were left out.", naming only
// the counts above 0; empty when all are 0.
std::string LeftOutText(int binaryFiles, int excludedFolders, int excludedFiles);

// "No files in C:\Work match *.txt."
std::string NoMatchText(std::string_view folder, std::string_view mask);

// "12 binary files were skipped."; empty for none.
std::string SkippedText(int binaryFiles);

// "Skipped C:\Work\logo.png. The file holds binary data, not text.": one
// binary file that a run passed over, as the results and the log name it.
std::string SkippedFileText(std::string_view path);

}  // namespace varnex
