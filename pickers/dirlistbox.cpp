// TNewDirectoryListBox: the folder list. The rows come from the path rules in
// dirrows; this file reads the disk, keeps the list box in step and draws.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

#include "engine/encoding.h"

#include "framework/flagscope.h"
#include "framework/unicode.h"
#include "framework/windowtext.h"
#include "pickers/NewFCtrl.h"
#include "pickers/system.h"

namespace varnex {
namespace {

constexpr char kClassName[] = "TNewDirectoryListBox";
constexpr int kListId = 1;

// The subdirectories of `dir` that are not hidden; "." and ".." left out.
std::vector<std::string> ListSubdirectories(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry;
  const FindHandle find(FindFirstFileW(WidePath(JoinPath(dir, "*.*")).c_str(), &entry));
  if (!find) return names;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) continue;
    std::string name = Utf8(entry.cFileName);
    if (name != "." && name != "..") names.push_back(std::move(name));
  } while (FindNextFileW(find.Get(), &entry));
  return names;
}

int CompareIgnoringCase(const std::string& a, const std::string& b) {
  return lstrcmpiW(Wide(a).c_str(), Wide(b).c_str());
}

// No drawing of the list while its rows are replaced; one repaint after.
class RedrawSuspended {
 public:
  explicit RedrawSuspended(HWND list) : inner_(list) {
    if (inner_ != nullptr) SendMessageW(inner_, WM_SETREDRAW, FALSE, 0);
  }
  ~RedrawSuspended() {
    if (inner_ == nullptr) return;
    SendMessageW(inner_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(inner_, nullptr, TRUE);
  }
  RedrawSuspended(const RedrawSuspended&) = delete;
  RedrawSuspended& operator=(const RedrawSuspended&) = delete;

 private:
  HWND inner_;
};

class CurrentDirectoryRestored {
 public:
  CurrentDirectoryRestored() : saved_(CurrentDirectory()) {}
  ~CurrentDirectoryRestored() { ChangeDirectory(saved_); }
  CurrentDirectoryRestored(const CurrentDirectoryRestored&) = delete;
  CurrentDirectoryRestored& operator=(const CurrentDirectoryRestored&) = delete;
  const std::string& Saved() const { return saved_; }

 private:
  std::string saved_;
};

bool IsExistingFile(const std::string& name) {
  const DWORD attributes = GetFileAttributesW(WidePath(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

TNewDirectoryListBox::TNewDirectoryListBox(Application& application)
    : PickerWindow(application), directory_(CurrentDirectory()) {}

TNewDirectoryListBox::~TNewDirectoryListBox() {
  if (driveCombo_ != nullptr) driveCombo_->dirList_ = nullptr;
  if (window_ != nullptr) DestroyWindow(window_);
}

void TNewDirectoryListBox::Create(HWND parent, int id, int left, int top, int width, int height, const Fonts& fonts) {
  font_ = fonts.Get(FontKind::kWindow);
  CreateOuter(kClassName, LoadCursor(nullptr, IDC_ARROW), parent, id, left, top, width, height);
  inner_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                              LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                          0, 0, width, height, window_, reinterpret_cast<HMENU>(kListId), app_.Instance(), nullptr);
  if (inner_ == nullptr) throw std::runtime_error("Cannot create TNewDirectoryListBox");
  // A plain subclass for the typed Enter: it costs nothing per message.
  SetWindowLongPtrW(inner_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  listProcedure_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(inner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProcedure)));
  SendMessageW(inner_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  UpdateItemHeight();
  RebuildTree();
}

// The typed characters are the list's own: the base list would go by their
// first letter alone.
LRESULT CALLBACK TNewDirectoryListBox::ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TNewDirectoryListBox*>(GetWindowLongPtrW(list, GWLP_USERDATA));
  if (message == WM_CHAR) {
    try {
      if (self->KeyPress(static_cast<char16_t>(wParam))) return 0;
    } catch (const std::exception& failure) {
      self->app_.ShowException(failure);
      return 0;
    }
  }
  return CallWindowProcW(self->listProcedure_, list, message, wParam, lParam);
}

LRESULT TNewDirectoryListBox::OwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = itemHeight_;
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == LBN_DBLCLK && reinterpret_cast<HWND>(lParam) == inner_) DblClick();
      return 0;
    case WM_SIZE:
      if (inner_ != nullptr) MoveWindow(inner_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void TNewDirectoryListBox::DrawItem(const DRAWITEMSTRUCT& item) {
  const int index = static_cast<int>(item.itemID);
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  if (index >= 0 && index < static_cast<int>(rows_.size())) {
    const DirectoryRow& row = rows_[index];
    const GlyphPair& glyph = glyphs_[row.kind];
    const int left = item.rcItem.left + ScaleToDpi(RowIndent(rows_, index, directory_, IsLeadByte), dpi_);
    const SelectedObject font(item.hDC, row.kind == fkCurrent && currentRowFont_ ? currentRowFont_.Get()
                                                                                : GetCurrentObject(item.hDC, OBJ_FONT));
    DrawPickerItem(item.hDC, item.rcItem, selected, &glyph, left, left + glyph.width + ScaleToDpi(4, dpi_),
                   DisplayName(row.text));
  } else {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
  }
  // A dotted line a pixel wide all but vanishes on a large screen: as many
  // lines as the scale has pixels to one.
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    for (int line = 0; line < std::max(1, MulDiv(1, static_cast<int>(dpi_), kBaseDpi)); ++line) {
      DrawFocusRect(item.hDC, &focus);
      InflateRect(&focus, -1, -1);
    }
  }
}

void TNewDirectoryListBox::LoadGlyphs() {
  for (GlyphPair& pair : glyphs_) pair = GlyphPair{};
  const COLORREF color = GetSysColor(COLOR_WINDOW);
  for (int kind = fkClosed; kind <= fkCurrent; ++kind) {
    // Attributes only: the disk is not touched. Ancestors and the current
    // folder share the open-folder icon.
    const UINT flags = SHGFI_USEFILEATTRIBUTES | (kind == fkClosed ? 0u : static_cast<UINT>(SHGFI_OPENICON));
    glyphs_[kind] = ShellGlyph("c:\\directory", FILE_ATTRIBUTE_DIRECTORY, flags, ScaleToDpi(kGlyphSize, dpi_), color);
  }
  // A shell whose open folder looks like a closed one (Wine's) would hide
  // which folder is open: the program's own pictures tell them apart.
  if (!glyphs_[fkClosed] || !glyphs_[fkCurrent] || SameDrawing(glyphs_[fkClosed], glyphs_[fkCurrent])) {
    for (int kind = fkClosed; kind <= fkCurrent; ++kind) {
      glyphs_[kind] = MakeGlyphPair(app_.Instance(), GlyphResourceName(7 + kind, true, dpi_).c_str(), color);
    }
  }
}

void TNewDirectoryListBox::UpdateItemHeight() {
  itemHeight_ = ItemHeight();
  if (inner_ != nullptr) SendMessageW(inner_, LB_SETITEMHEIGHT, 0, itemHeight_);
  LOGFONTW bold{};
  currentRowFont_.Reset();
  if (font_ != nullptr && GetObjectW(font_, sizeof bold, &bold) == sizeof bold) {
    bold.lfWeight = FW_BOLD;
    currentRowFont_ = FontHandle(CreateFontIndirectW(&bold));
  }
}

int TNewDirectoryListBox::ItemIndex() const {
  return inner_ != nullptr ? static_cast<int>(SendMessageW(inner_, LB_GETCURSEL, 0, 0)) : -1;
}

void TNewDirectoryListBox::RebuildTree() {
  const RedrawSuspended suspended(inner_);
  rows_.clear();
  if (inner_ != nullptr) SendMessageW(inner_, LB_RESETCONTENT, 0, 0);

  const std::string root = DrivePart(directory_, IsLeadByte) + "\\";
  DWORD flags = 0;
  if (!GetVolumeInformationW(Wide(root).c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return;
  casePreserved_ = (flags & (FS_CASE_SENSITIVE | FS_CASE_IS_PRESERVED)) != 0;
  caseSensitive_ = (flags & FS_CASE_SENSITIVE) != 0;

  rows_ = AncestorRows(directory_);
  const int current = static_cast<int>(rows_.size()) - 1;
  std::vector<std::string> sorted;
  for (std::string& name : ListSubdirectories(directory_)) InsertSortedUnique(sorted, std::move(name), CompareIgnoringCase);
  for (std::string& name : sorted) rows_.push_back({std::move(name), fkClosed});

  if (inner_ == nullptr) return;
  SendMessageW(inner_, LB_INITSTORAGE, rows_.size(), 0);
  for (const DirectoryRow& row : rows_) {
    const LRESULT at = AddListBoxText(inner_, row.text);
    SendMessageW(inner_, LB_SETITEMDATA, at, row.kind);
  }
  SendMessageW(inner_, LB_SETCURSEL, current, 0);
}

TNewDirectoryListBox::SplitPath TNewDirectoryListBox::SplitDirectoryPath(const std::string& path) {
  const CurrentDirectoryRestored restored;
  const std::string& saved = restored.Saved();
  SplitPath split{saved.empty() ? '\0' : saved[0], path, {}};
  std::string drivePart;
  if (path.size() >= 2 && path.front() == '[' && path.back() == ']') {
    split.dirPart = path.substr(1, path.size() - 2);
  } else {
    drivePart = DrivePart(split.dirPart, IsLeadByte);
    if (!drivePart.empty()) {
      split.dirPart.erase(0, drivePart.size());
    } else {
      drivePart = DrivePart(saved, IsLeadByte);
    }
    split.letter = drivePart.size() >= 2 && drivePart[1] == ':' ? drivePart[0] : '\0';
  }

  ChangeDirectory(drivePart);
  split.filePart = LastComponent(split.dirPart, IsLeadByte);
  if (split.dirPart.size() == split.filePart.size() + 1) {
    split.dirPart = "\\";
  } else if (split.dirPart.size() > split.filePart.size()) {
    split.dirPart.erase(split.dirPart.size() - split.filePart.size() - 1);
  } else {
    const std::string current = CurrentDirectory();
    split.dirPart = current.substr(DrivePart(current, IsLeadByte).size());
    if (split.dirPart.empty()) split.dirPart = "\\";
  }
  if (!split.dirPart.empty()) ChangeDirectory(split.dirPart);
  if (!split.filePart.empty() && split.filePart.find_first_of("*?") == std::string::npos &&
      !IsExistingFile(split.filePart)) {
    ChangeDirectory(split.filePart);
    split.dirPart = split.dirPart.size() == 1 ? "\\" + split.filePart : split.dirPart + "\\" + split.filePart;
    split.filePart.clear();
  }
  if (split.letter == '\0') split.dirPart = drivePart + split.dirPart;  // keeps \\server\share
  return split;
}

void TNewDirectoryListBox::SetDirectory(const std::string& path) {
  if (path.empty() || CompareDirectoryNames(path, directory_) == 0) return;
  const SplitPath split = SplitDirectoryPath(path);
  if (split.letter != Drive()) {
    // The drive box moves this list; the rows are read once, below.
    const FlagScope driveChange(inDriveChange_);
    if (driveCombo_ != nullptr) {
      driveCombo_->SetDrive(split.letter);
    } else {
      SetDrive(split.letter);
    }
  }
  ChangeDirectory(directory_);
  ChangeDirectory(split.dirPart);
  if (std::string now = CurrentDirectory(); !now.empty()) directory_ = std::move(now);
  RebuildTree();
  Change();
}

void TNewDirectoryListBox::SetDrive(char letter) {
  if (AsciiUpper(letter) == AsciiUpper(Drive())) return;
  driveFolders_.Remember(directory_);
  if (letter != '\0') {
    // Windows keeps no current folder per drive for a program's own use.
    const std::string left = driveFolders_.For(letter);
    if (left.empty() || !ChangeDirectory(left)) ChangeDirectory(std::string{letter, ':'});
    if (std::string now = CurrentDirectory(); !now.empty()) directory_ = std::move(now);
  }
  if (!inDriveChange_) {
    RebuildTree();
    Change();
  }
}

std::string TNewDirectoryListBox::GetItemPath(int index) const {
  return varnex::GetItemPath(directory_, rows_, index, IsLeadByte);
}

void TNewDirectoryListBox::OpenSelected() { SetDirectory(GetItemPath(ItemIndex())); }

void TNewDirectoryListBox::DblClick() { OpenSelected(); }

// Space too, unless it goes on with a name being typed: in a dialog, Enter
// goes to its default button, and the keyboard would have no other way into
// a folder. Other characters typed within a short pause of each other search
// the rows together, as Windows lists do.
bool TNewDirectoryListBox::KeyPress(char16_t key) {
  const std::optional<std::string> prefix =
      key == u'\r' ? std::nullopt : typeAhead_.Type(key, static_cast<std::uint64_t>(app_.Clock()()));
  if (key == u'\r' || (key == u' ' && prefix == " ")) {
    typeAhead_.Clear();
    OpenSelected();
    return true;
  }
  if (!prefix) return false;
  if (!prefix->empty()) SelectByPrefix(*prefix);
  return true;
}

// From the highlighted row on, wrapping round; a first character looks past
// it, so that typing it again steps through the rows it begins.
void TNewDirectoryListBox::SelectByPrefix(const std::string& prefix) {
  const int current = ItemIndex();
  const bool firstCharacter = Utf16FromUtf8(prefix).size() == 1;
  const LRESULT found = SendMessageW(inner_, LB_FINDSTRING, firstCharacter ? current : current - 1,
                                     reinterpret_cast<LPARAM>(Wide(prefix).c_str()));
  if (found != LB_ERR) SendMessageW(inner_, LB_SETCURSEL, found, 0);
}

void TNewDirectoryListBox::Change() {
  UpdateDirLabel();
  if (OnChange) OnChange();
}

void TNewDirectoryListBox::SetDirLabel(HWND label) {
  dirLabel_ = label;
  UpdateDirLabel();
}

void TNewDirectoryListBox::UpdateDirLabel() {
  if (dirLabel_ != nullptr && IsWindow(dirLabel_)) SetText(dirLabel_, directory_);
}

std::string TNewDirectoryListBox::DisplayName(std::string_view name) const {
  if (name.empty()) return {};
  std::string text(name);
  if (casePreserved_ && (text.back() == '\\' || LocaleUpper(text) != text)) return text;
  return caseSensitive_ ? text : LocaleLower(std::move(text));
}

int TNewDirectoryListBox::CompareDirectoryNames(const std::string& a, const std::string& b) const {
  if (caseSensitive_) return lstrcmpW(Wide(a).c_str(), Wide(b).c_str());
  return lstrcmpW(Wide(LocaleLower(a)).c_str(), Wide(LocaleLower(b)).c_str());
}

}  // namespace varnex
