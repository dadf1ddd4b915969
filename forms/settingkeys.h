#pragma once
// Where the windows keep the user's choices in the settings file: one section,
// a key per choice. Files written by earlier versions are read with the same
// texts, so they never change.

namespace varnex::settingkeys {

// The options panel's boxes, each under the key its row of the options table
// names (run/runoptions.h).
inline constexpr char kSection[] = "Options";
// The Add Directory dialog's choices.
inline constexpr char kDirectory[] = "Directory";
inline constexpr char kFileMask[] = "FileMask";
inline constexpr char kSubDirectories[] = "SubDirectories";
// Written only once the user sets them, so that a file without them lists
// as it always did.
inline constexpr char kExclude[] = "Exclude";
inline constexpr char kSkipBinaryFiles[] = "SkipBinaryFiles";

// The preview's size and column widths, in pixels at 96 DPI, in a section of
// their own.
inline constexpr char kPreviewSection[] = "Preview";
inline constexpr char kPreviewWidth[] = "Width";
inline constexpr char kPreviewHeight[] = "Height";
inline constexpr const char* kPreviewColumns[] = {"Column1", "Column2", "Column3", "Column4", "Column5"};

}  // namespace varnex::settingkeys
