#pragma once
// The drive and folder pickers: TNewDirectoryListBox shows one directory in its
// place on its drive (root, open ancestors, the current folder, its closed
// subfolders) and navigates by double-click or Enter; TNewDriveComboBox lists
// the drives and, linked to a list through DirList, moves it to the drive
// picked. Both navigate through the process's current directory.
//
// Each control is a window of its own class holding the system list or combo
// box that does the work: the inner control sends its drawing and its
// notifications to that window, so the host needs to forward nothing. The
// outer window is a control parent, so Tab and Enter behave as for the inner
// control; Enter in the list goes to the host's default button.

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/typeahead.h"
#include "framework/application.h"
#include "framework/dpi.h"
#include "framework/fonts.h"
#include "framework/handle.h"
#include "pickers/dirrows.h"
#include "pickers/pickerwindow.h"

namespace varnex {

class TNewDriveComboBox;
class VolumeListener;

// ---- What both pickers share -------------------------------------------

// True when the glyphs come from the shell's icons rather than the program's
// bitmaps; COM is initialised for the thread on first use.
bool UseShellIcons();

// The bitmap for each drive type 0 to 6 and each row kind (7 + kind); a
// new-style platform takes the name with "95" appended, and above 100% the
// scale of its drawing for `dpi` ("_125", "_150" or "_200").
inline constexpr std::array<const char*, 10> GlyphNames = {
    "NFC_HARD",    "NFC_HARD", "NFC_FLOPPY",       "NFC_HARD",       "NFC_NETWORK",
    "NFC_CDROM",   "NFC_RAM",  "NFC_CLOSEDFOLDER", "NFC_OPENFOLDER", "NFC_CURRENTFOLDER",
};
std::string GlyphResourceName(int index, bool newStyle, UINT dpi = kBaseDpi);

// One picture prepared twice: on the control's colour and on the highlight.
struct GlyphPair {
  BitmapHandle normal;
  BitmapHandle selected;
  int width = 0;
  int height = 0;
  explicit operator bool() const { return static_cast<bool>(normal); }
};

// From a bitmap resource of `module`: every pixel of the bottom-left pixel's
// colour becomes `color`, or the highlight colour in the selected glyph.
GlyphPair MakeGlyphPair(HINSTANCE module, const char* resourceName, COLORREF color);
// From an icon of the system image list, drawn on `color` and on the highlight.
GlyphPair MakeGlyphPair(HIMAGELIST icons, int index, COLORREF color);
// The shell's icon of `path` (`flags` may add SHGFI_USEFILEATTRIBUTES, with
// `attributes`, and SHGFI_OPENICON), `size` pixels square: from the system's
// small-icon list at its own size, else taken at that size from the file the
// shell keeps it in. Empty when the shell has none.
GlyphPair ShellGlyph(const std::string& path, DWORD attributes, UINT flags, int size, COLORREF color);
// Whether two glyphs show the same pixels.
bool SameDrawing(const GlyphPair& a, const GlyphPair& b);

// One row of the folder list or one entry of the drive box: the item filled
// with the window or highlight colour, the glyph (if any) at `glyphLeft`
// centred vertically, the text from `textLeft` to the right edge on one line,
// centred, clipped, "&" shown as it is.
void DrawPickerItem(HDC dc, const RECT& item, bool selected, const GlyphPair* glyph, int glyphLeft, int textLeft,
                    std::string_view text);

// ---- The folder list ------------------------------------------------------

class TNewDirectoryListBox : public PickerWindow<TNewDirectoryListBox> {
 public:
  explicit TNewDirectoryListBox(Application& application);
  ~TNewDirectoryListBox();

  // Creates the control as child `id` of `parent`; the rows are read at once.
  void Create(HWND parent, int id, int left, int top, int width, int height, const Fonts& fonts);
  // The list box inside the control the host places.
  HWND ListHandle() const { return inner_; }

  // The current directory, "\" at its end only at a root.
  const std::string& Directory() const { return directory_; }
  // Navigates to `path` (absolute, relative to the process's current
  // directory, a bare drive, or a file whose folder is meant). Nothing happens
  // for an empty path or the current directory; otherwise the rows are
  // rebuilt and OnChange fires, even when the directory could not be entered.
  void SetDirectory(const std::string& path);
  // The first character of Directory: the drive letter, or "\" on a network path.
  char Drive() const { return directory_.empty() ? '\0' : directory_[0]; }
  // Moves to the folder this list last showed on that drive, or else to the
  // one the platform remembers as current there.
  void SetDrive(char letter);

  std::string GetItemPath(int index) const;
  void OpenSelected();
  void RebuildTree();
  void Change();

  // A static control that always shows the full Directory; may be null.
  void SetDirLabel(HWND label);
  HWND DirLabel() const { return dirLabel_; }

  // Fires after every navigation, once the rows and the label are up to date.
  std::function<void()> OnChange;

  const std::vector<DirectoryRow>& Rows() const { return rows_; }
  int ItemIndex() const;  // the highlighted row, or -1
  // The text a row shows, by the volume's case behaviour.
  std::string DisplayName(std::string_view name) const;
  bool CasePreserved() const { return casePreserved_; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseFlags(bool preserved, bool sensitive) { casePreserved_ = preserved, caseSensitive_ = sensitive; }

  // Splits a path as SetDirectory reads it, into its drive letter (NUL for a
  // network path), its directory and its file name (empty when it names a
  // directory). The process's current directory is left as it was.
  struct SplitPath {
    char letter;
    std::string dirPart;
    std::string filePart;
  };
  static SplitPath SplitDirectoryPath(const std::string& path);

  // What the base list does with a double-click and a typed character; true
  // when the character was the list's to take.
  void DblClick();
  bool KeyPress(char16_t key);

 private:
  friend class TNewDriveComboBox;
  friend class PickerWindow<TNewDirectoryListBox>;
  static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OwnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void DrawItem(const DRAWITEMSTRUCT& item);
  void LoadGlyphs();
  void UpdateItemHeight();
  void UpdateDirLabel();
  int CompareDirectoryNames(const std::string& a, const std::string& b) const;
  void SelectByPrefix(const std::string& prefix);

  WNDPROC listProcedure_ = nullptr;
  int itemHeight_ = 16;
  TNewDriveComboBox* driveCombo_ = nullptr;
  HWND dirLabel_ = nullptr;
  bool inDriveChange_ = false;
  bool casePreserved_ = true;
  bool caseSensitive_ = false;
  std::array<GlyphPair, 3> glyphs_;
  FontHandle currentRowFont_;  // the list's font in bold: the open folder stands out
  std::string directory_;
  std::vector<DirectoryRow> rows_;
  TypeAhead typeAhead_;
  DriveFolders driveFolders_;
};

// ---- The drive box --------------------------------------------------------

class TNewDriveComboBox : public PickerWindow<TNewDriveComboBox> {
 public:
  explicit TNewDriveComboBox(Application& application);
  ~TNewDriveComboBox();

  // Creates the box as child `id` of `parent`, lists the drives and selects
  // the current one; `height` is the closed box's.
  void Create(HWND parent, int id, int left, int top, int width, int height, const Fonts& fonts);
  // The combo box inside the control the host places.
  HWND ComboHandle() const { return inner_; }

  // The current drive letter in the TextCase form, or NUL.
  char Drive() const { return drive_; }
  void SetDrive(char letter);

  TNewTextCase TextCase() const { return textCase_; }
  void SetTextCase(TNewTextCase value);

  // The list this box moves; the list moves the box when it changes drive.
  TNewDirectoryListBox* DirList() const { return dirList_; }
  void SetDirList(TNewDirectoryListBox* list);

  // Rebuild the entries when a volume arrives or goes.
  bool AutoRefresh = true;
  // Fires at the end of every SetDrive and once more after each pick by the user.
  std::function<void()> OnChange;

  void RebuildDriveList();
  std::vector<std::string> Entries() const;
  int ItemIndex() const;  // the selected entry, or -1

  // A selection made by the user, as the box applies it.
  void Click();

 private:
  friend class TNewDirectoryListBox;
  friend class PickerWindow<TNewDriveComboBox>;
  friend class VolumeListener;
  LRESULT OwnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void DeviceChangeHook(WPARAM event, LPARAM header);
  void DrawItem(const DRAWITEMSTRUCT& item);
  void LoadGlyphs();
  void UpdateItemHeight();
  void Change();

  std::unique_ptr<VolumeListener> listener_;
  TNewDirectoryListBox* dirList_ = nullptr;
  char drive_ = '\0';
  TNewTextCase textCase_ = tcLowerCase;
  std::array<GlyphPair, 26> glyphs_;
};

// The volume label of a drive root (empty when it cannot be read), in lower
// case for a lower-case letter and upper case otherwise; the system's
// critical-error prompts stay off meanwhile.
std::string GetVolumeLabel(char letter);
// The remote name of a mapped drive, cased as GetVolumeLabel; the volume label
// when the drive is not mapped.
std::string GetNetworkName(char letter);

}  // namespace varnex
