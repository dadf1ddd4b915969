#pragma once
// The replace options: what a run is told, and a row per option that says how
// the options panel shows it and where settings.ini keeps it. The panel, the
// stored settings, the run and its preview all read the rows, so an option is
// one field here and one row below.

#include <array>

namespace varnex {

struct RunOptions {
  bool caseSensitive = false;
  bool backUp = false;
  bool dynamicVariables = false;
  // Every line the replacement leaves alone keeps its own line end; without
  // it a changed file is written with CR LF after every line.
  bool keepLineEnds = false;
  // A changed file keeps its last-write time.
  bool keepModifiedDate = false;
};

struct OptionRow {
  int id;               // the panel's check box
  const char* caption;  // the box's caption; & marks an access key
  const char* key;      // in settings.ini's Options section, "True" or "False"
  bool byDefault;       // while settings.ini holds no key
  bool RunOptions::*field;
};

// In the panel's order, top to bottom. The boxes have no access keys: every
// key pressed in the panel is the main window's.
inline constexpr std::array kOptionRows = {
    OptionRow{101, "Case sensitive", "CS", false, &RunOptions::caseSensitive},
    OptionRow{102, "Back up changed files", "BU", false, &RunOptions::backUp},
    OptionRow{103, "Use dynamic variables", "DV", false, &RunOptions::dynamicVariables},
    OptionRow{104, "Keep line ends", "KeepLineEnds", false, &RunOptions::keepLineEnds},
    OptionRow{105, "Keep modified date", "KeepModifiedDate", false, &RunOptions::keepModifiedDate},
};

}  // namespace varnex
