#pragma once
// FileList: the ordered target files in the main window's list box, with its
// placeholder entry, its selection and its current entry (the one with the
// focus rectangle, independent of the selection). The list keeps the
// placeholder rule itself: the placeholder shows exactly while no file is
// listed, and the first file added takes its place.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace varnex {

inline constexpr char kNoFilesAdded[] = "No files added";

class FileList {
 public:
  void Attach(HWND listBox) { list_ = listBox; }
  HWND Handle() const { return list_; }

  int Count() const;
  std::string Entry(int index) const;
  // Every entry as shown, the placeholder included: what a saved list holds.
  std::vector<std::string> Entries() const;
  // The files a run goes through: none while the placeholder shows.
  std::vector<std::string> Files() const;
  // Raises an error when the list refuses another entry.
  void Append(const std::string& entry);
  void Clear();

  // The placeholder, where the list box holds no entry yet.
  void ShowPlaceholderIfEmpty();
  // A file at the end, in the placeholder's place where it is the first.
  void Add(const std::string& path);
  // Exactly `entries`, or the placeholder where there are none.
  void SetEntries(const std::vector<std::string>& entries);
  // The placeholder alone.
  void RemoveAll();

  // Moves the focus rectangle to the entry and scrolls it into view; the
  // selection stays as it is.
  void MakeCurrent(int index);
  // The current entry's position, or -1.
  int Current() const;
  // Makes `index` the only selected entry and the current one.
  void SelectAlone(int index);
  // The first entry that begins with `prefix`, letter case aside, or -1.
  int FindPrefix(const std::string& prefix) const;
  // The placeholder comes back when the last file goes.
  void RemoveSelected();

  // The list holds real files exactly when its first entry is not the placeholder.
  bool HoldsRealFiles() const;

 private:
  HWND list_ = nullptr;
};

// Draws one row: the entry's text 2 pixels in, centred in the row, cut off at
// the right edge, "&" shown as it is; highlight colours when selected and a
// dotted rectangle on the current row.
void DrawFileListRow(HDC dc, const RECT& row, bool selected, bool current, std::string_view text);

}  // namespace varnex
