#include "forms/dir.h"

#include <exception>
#include <utility>

#include "engine/error.h"
#include "engine/exclusions.h"
#include "engine/leftout.h"
#include "engine/namedlist.h"
#include "forms/settingkeys.h"
#include "framework/controls.h"
#include "framework/dpi.h"
#include "framework/enablecontrol.h"
#include "framework/layout.h"
#include "framework/pictures.h"
#include "framework/unicode.h"
#include "framework/windowtext.h"
#include "resources/resource.h"

namespace varnex {
namespace {

constexpr char kCaption[] = "Add Directory...";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // with WS_EX_DLGMODALFRAME: only the close box
constexpr SIZE kClientSize = {282, 351};
constexpr char kCancel[] = "Cancel";
constexpr char kStop[] = "STOP";
constexpr char kNotListed[] = "These folders could not be listed, so their files are not in the list:";
constexpr char kNoSuchFolder[] = "There is no folder %s.";

// The pickers come first in the table; they are made by their own classes,
// and then take their places in the tab order (the z-order) each after its
// label, so that the label's access key reaches it as it does an edit box.
constexpr ControlLayout kLayout[] = {
    {TDF::kNewDriveComboBox1, "TNewDriveComboBox", "Drive", 0, 0, 68, 8, 205, 22, FontKind::kWindow},
    {TDF::kNewDirectoryListBox1, "TNewDirectoryListBox", "Folders", 0, 0, 8, 76, 265, 149, FontKind::kWindow},
    {TDF::kDriveLabel, "STATIC", "Dri&ve:", 0, 0, 8, 12, 56, 15, FontKind::kWindow},
    {TDF::kFolderLabel, "STATIC", "Fol&der:", 0, 0, 8, 37, 56, 15, FontKind::kWindow},
    {TDF::kFolderBox, "EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 68, 34, 205, 21, FontKind::kWindow},
    {TDF::kFoldersLabel, "STATIC", "&Folders:", 0, 0, 8, 59, 56, 15, FontKind::kWindow},
    {TDF::kLabel1, "STATIC", "File &mask:", 0, 0, 8, 231, 56, 15, FontKind::kWindow},
    {TDF::kEdit1, "EDIT", "*.txt", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 68, 228, 205, 21, FontKind::kWindow},
    {TDF::kExcludeLabel, "STATIC", "E&xclude:", 0, 0, 8, 255, 56, 15, FontKind::kWindow},
    {TDF::kExcludeBox, "EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 68, 252, 205, 21, FontKind::kWindow},
    {TDF::kCheckBox1, "BUTTON", "Include &sub-directories", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 8, 277, 150, 17,
     FontKind::kWindow},
    {TDF::kSkipBinary, "BUTTON", "Skip &binary files", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 8, 296, 150, 17,
     FontKind::kWindow},
    {TDF::kBitBtn1, "BUTTON", "&Add", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 120, 318, 75, 25, FontKind::kWindow},
    {TDF::kBitBtn2, "BUTTON", kCancel, BS_PUSHBUTTON | WS_TABSTOP, 0, 200, 318, 75, 25, FontKind::kWindow},
};
constexpr std::size_t kPickers = 2;

}  // namespace

TDF::TDF(Application& application, const SettingsStore& settings, FileList& files,
         std::function<void()> filesChanged)
    : Window(application),
      settings_(settings),
      files_(files),
      filesChanged_(std::move(filesChanged)),
      drives_(application),
      folders_(application),
      search_([&application] { application.ProcessPendingMessages(); }) {
  // Enter in the folder box opens the folder typed there; the next Enter adds.
  Commands().OnClick(kBitBtn1, [this] {
    if (GetFocus() == Control(kFolderBox) && WindowText(Control(kFolderBox)) != folders_.Directory()) {
      FolderBoxDone();
    } else {
      BitBtn1Click();
    }
  });
  Commands().OnClick(kBitBtn2, [this] { BitBtn2Click(); });
  Commands().On(kEdit1, EN_CHANGE, [this] { Edit1Change(); });
  Commands().OnClick(kCheckBox1, [this] { CheckBox1Click(); });
  // Only for another control of the dialog: "Add" takes the folder itself,
  // "Cancel" asks nothing of it, and a message box is no place to go.
  Commands().On(kFolderBox, EN_KILLFOCUS, [this] {
    const HWND focus = GetFocus();
    if (IsChild(Handle(), focus) && focus != Control(kBitBtn1) && focus != Control(kBitBtn2)) FolderBoxDone();
  });
  Commands().On(kExcludeBox, EN_CHANGE, [this] { ExcludeBoxChange(); });
  Commands().OnClick(kSkipBinary, [this] { SkipBinaryClick(); });
}

void TDF::Show(Application& application, const SettingsStore& settings, FileList& files,
               std::function<void()> filesChanged) {
  TDF dialog(application, settings, files, std::move(filesChanged));
  dialog.Create();
  dialog.ShowModal();
}

void TDF::Create() {
  CreateAs(WindowClass{"TDF"}, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kCaption, kStyle, GetActiveWindow());
  // The pickers are made by their own classes; LayOut places them with the rest.
  const ControlLayout& drives = kLayout[0];
  const ControlLayout& folders = kLayout[1];
  drives_.Create(Handle(), drives.id, drives.left, drives.top, drives.width, drives.height, fonts_);
  folders_.Create(Handle(), folders.id, folders.left, folders.top, folders.width, folders.height, fonts_);
  // Their captions name them for screen readers, never drawn; the folder
  // list's own window takes the focus. A drop-down list's text is its choice.
  SetText(drives_.Handle(), drives.caption);
  SetText(folders_.Handle(), folders.caption);
  SetText(folders_.ListHandle(), folders.caption);
  drives_.SetTextCase(tcUpperCase);
  drives_.SetDirList(&folders_);
  folders_.OnChange = [this] { NewDirectoryListBox1Change(); };

  std::vector<std::pair<int, HWND>> controls = CreateControls(Handle(), std::span(kLayout).subspan(kPickers));
  controls.emplace_back(kNewDriveComboBox1, drives_.Handle());
  controls.emplace_back(kNewDirectoryListBox1, folders_.Handle());
  KeepControlHandles(std::move(controls));
  SetWindowPos(Control(kDriveLabel), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(drives_.Handle(), Control(kDriveLabel), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(folders_.Handle(), Control(kFoldersLabel), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetText(Control(kFolderBox), folders_.Directory());
  LayOutAt(WindowDpi(Handle()));
  CheckBox(Control(kCheckBox1)).SetChecked(true);
  SetDefaultButton(kBitBtn1);

  search_.OnFileFind = [this](const std::string& fullpath, const TSearchRec& info) {
    FileSearch1FileFind(fullpath, info);
  };
  search_.OnFinish = [this](TFileSearch&) { FileSearch1Finish(); };
  CentreOnScreen(Handle());
}

std::span<const ControlLayout> TDF::LayoutTable() { return kLayout; }

void TDF::LayOut(UINT dpi) {
  Fonts fonts(dpi);
  PlaceControls(Handle(), kLayout, fonts);
  drives_.SetDpi(dpi);
  folders_.SetDpi(dpi);
  SetClientSize(Handle(), kClientSize, dpi);
  // "STOP" stays bold through a change of DPI.
  if (WindowText(Control(kBitBtn2)) == kStop)
    SendMessageW(Control(kBitBtn2), WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(FontKind::kBold)), FALSE);
  SetButtonPicture(kBitBtn1, IDB_OK_TICK, dpi);
  SetButtonPicture(kBitBtn2, IDB_CANCEL_CROSS, dpi);
  fonts_ = std::move(fonts);
}

// A glyph on the button's left, greyed by the button itself when it is disabled.
void TDF::SetButtonPicture(int id, int picture, UINT dpi) {
  ImageListHandle& list = pictures_[id == kBitBtn1 ? 0 : 1];
  list = LoadButtonPicture(app_.Instance(), picture, dpi);
  BUTTON_IMAGELIST images{list.Get(), {2, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  SendMessageW(Control(id), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
}

bool TDF::Checked(int id) const { return CheckBox(Control(id)).Checked(); }

void TDF::FormShow() {
  using namespace settingkeys;
  const std::string directory = settings_.Read(kSection, kDirectory);
  if (!directory.empty()) folders_.SetDirectory(directory);
  const std::string mask = settings_.Read(kSection, kFileMask);
  if (!mask.empty()) SetText(Control(kEdit1), mask);
  const bool subDirectories = settings_.Read(kSection, kSubDirectories) != "False";
  if (subDirectories != Checked(kCheckBox1)) {
    CheckBox(Control(kCheckBox1)).SetChecked(subDirectories);
    CheckBox1Click();
  }
  const std::string exclude = settings_.Read(kSection, kExclude);
  if (!exclude.empty()) SetText(Control(kExcludeBox), exclude);
  if (settings_.Read(kSection, kSkipBinaryFiles) == "True") CheckBox(Control(kSkipBinary)).SetChecked(true);
}

bool TDF::FolderBoxDone() {
  std::string typed = WindowText(Control(kFolderBox));
  // A path pasted from Explorer's "Copy as path" comes in quotes.
  if (typed.size() >= 2 && typed.front() == '"' && typed.back() == '"') typed = typed.substr(1, typed.size() - 2);
  if (!typed.empty() && typed != folders_.Directory()) {
    // Relative paths are the list's: its folder is the process's current one.
    if (GetFileAttributesW(WidePath(typed).c_str()) == INVALID_FILE_ATTRIBUTES) {
      app_.MessageBox().Show(app_.Title(), Error::Format(kNoSuchFolder, typed).what(), MB_OK | MB_ICONWARNING);
      SetFocus(Control(kFolderBox));
      return false;
    }
    folders_.SetDirectory(typed);
  }
  SetText(Control(kFolderBox), folders_.Directory());
  return true;
}

void TDF::BitBtn1Click() {
  if (!FolderBoxDone()) return;
  const std::string directory = folders_.Directory();
  const std::string mask = WindowText(Control(kEdit1));
  search_.SearchFile = directory.ends_with('\\') ? directory + mask : directory + "\\" + mask;
  search_.RecurseSubFolders = Checked(kCheckBox1);
  search_.Exclude = ExclusionMasks(WindowText(Control(kExcludeBox)));
  search_.SkipBinaryFiles = Checked(kSkipBinary);
  added_ = false;
  HWND second = Control(kBitBtn2);
  SetText(second, kStop);
  SendMessageW(second, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(FontKind::kBold)), TRUE);
  EnableControl(Control(kBitBtn1), false);
  // Whatever ends the scan, an error included, the list then shows all it got
  // and the dialog closes, unless the scan found nothing to add.
  struct AfterTheScan {
    TDF& dialog;
    ~AfterTheScan() {
      dialog.filling_.reset();
      if (dialog.added_ || dialog.search_.Stop || std::uncaught_exceptions() > 0) dialog.EndModal(IDOK);
    }
  } afterTheScan{*this};
  filling_.emplace(files_.Handle(), app_.Clock());
  search_.Execute();
  filling_.reset();
  const std::string leftOut = WhatWasLeftOut();
  if (added_) {
    if (!leftOut.empty()) {
      const UINT icon = search_.NotListed().empty() ? MB_ICONINFORMATION : MB_ICONWARNING;
      app_.MessageBox().Show(app_.Title(), leftOut, MB_OK | icon);
    }
  } else if (!search_.Stop) {
    // Nothing to add: said, and the dialog stays for another mask or folder.
    const std::string noMatch = NoMatchText(directory, mask);
    app_.MessageBox().Show(app_.Title(), leftOut.empty() ? noMatch : noMatch + "\r\r" + leftOut,
                           MB_OK | MB_ICONINFORMATION);
    BackToReady();
  }
}

std::string TDF::WhatWasLeftOut() const {
  std::string text = LeftOutText(search_.BinaryLeftOut(), search_.ExcludedFolders(), search_.ExcludedFiles());
  const std::string notListed = NamedList(kNotListed, search_.NotListed());
  if (!notListed.empty()) text += (text.empty() ? "" : "\r\r") + notListed;
  return text;
}

void TDF::BackToReady() {
  HWND second = Control(kBitBtn2);
  SetText(second, kCancel);
  SendMessageW(second, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(FontKind::kWindow)), TRUE);
  EnableWindow(Control(kBitBtn1), TRUE);
}

void TDF::BitBtn2Click() {
  if (WindowText(Control(kBitBtn2)) == kStop) search_.Stop = true;
  EndModal(IDCANCEL);
}

void TDF::FileSearch1FileFind(const std::string& fullpath, const TSearchRec& info) {
  // The scan reports folders whose names match too; a folder in the list
  // would only be reported as unreadable by every run.
  if (info.Attr() & FILE_ATTRIBUTE_DIRECTORY) return;
  if (filling_) filling_->Adding();
  // Only a scan's first file changes what the list is: it takes the
  // placeholder's place, wakes the buttons that need files and becomes the
  // current entry, which appending after it leaves as it is. Asking the list
  // again for each file cost more than the listing of the file.
  const bool first = !added_;
  const std::string path = fullpath + std::string(info.Name());
  first ? files_.Add(path) : files_.Append(path);
  if (!first) return;
  added_ = true;
  filesChanged_();
  files_.MakeCurrent(0);
}

// A scan that found nothing leaves the dialog open (see BitBtn1Click).
void TDF::FileSearch1Finish() {
  if (added_ || search_.Stop) EndModal(IDOK);
}

void TDF::NewDirectoryListBox1Change() {
  SetText(Control(kFolderBox), folders_.Directory());
  settings_.Write(settingkeys::kSection, settingkeys::kDirectory, folders_.Directory());
}

void TDF::ExcludeBoxChange() {
  settings_.Write(settingkeys::kSection, settingkeys::kExclude, WindowText(Control(kExcludeBox)));
}

void TDF::SkipBinaryClick() {
  settings_.Write(settingkeys::kSection, settingkeys::kSkipBinaryFiles, BooleanText(Checked(kSkipBinary)));
}

void TDF::Edit1Change() {
  settings_.Write(settingkeys::kSection, settingkeys::kFileMask, WindowText(Control(kEdit1)));
}

void TDF::CheckBox1Click() {
  settings_.Write(settingkeys::kSection, settingkeys::kSubDirectories, BooleanText(Checked(kCheckBox1)));
}

LRESULT TDF::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam && !shown_) {
        shown_ = true;
        FormShow();
      }
      break;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace varnex
