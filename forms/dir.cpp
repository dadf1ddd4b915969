#include "forms/dir.h"

#include <utility>

#include "engine/error.h"
#include "engine/namedlist.h"
#include "forms/settingkeys.h"
#include "framework/dpi.h"
#include "framework/layout.h"
#include "framework/pictures.h"
#include "framework/windowtext.h"
#include "resources/resource.h"

namespace varnex {
namespace {

constexpr char kCaption[] = "Add Directory...";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // with WS_EX_DLGMODALFRAME: only the close box
constexpr SIZE kClientSize = {282, 296};
constexpr char kCancel[] = "Cancel";
constexpr char kStop[] = "STOP";
constexpr char kNotListed[] = "These folders could not be listed, so their files are not in the list:";

// The pickers come first in keyboard order; they are made by their own classes.
constexpr ControlLayout kLayout[] = {
    {TDF::kNewDriveComboBox1, "TNewDriveComboBox", "Drive", 0, 0, 8, 8, 265, 22, FontKind::kWindow},
    {TDF::kNewDirectoryListBox1, "TNewDirectoryListBox", "Folders", 0, 0, 8, 34, 265, 185, FontKind::kWindow},
    {TDF::kLabel1, "STATIC", "File mask:", 0, 0, 8, 225, 56, 15, FontKind::kWindow},
    {TDF::kEdit1, "EDIT", "*.txt", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 68, 222, 205, 21, FontKind::kWindow},
    {TDF::kCheckBox1, "BUTTON", "Include sub-directories", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 8, 245, 150, 17,
     FontKind::kWindow},
    {TDF::kBitBtn1, "BUTTON", "Add", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 120, 264, 75, 25, FontKind::kWindow},
    {TDF::kBitBtn2, "BUTTON", kCancel, BS_PUSHBUTTON | WS_TABSTOP, 0, 200, 264, 75, 25, FontKind::kWindow},
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
      search_([&application] { application.ProcessPendingMessages(); }) {}

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
  AdoptControls(std::move(controls));
  LayOutAt(WindowDpi(Handle()));
  SendMessageW(Control(kCheckBox1), BM_SETCHECK, BST_CHECKED, 0);
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

bool TDF::SubDirectoriesChecked() const {
  return SendMessageW(Control(kCheckBox1), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TDF::FormShow() {
  using namespace settingkeys;
  const std::string directory = settings_.Read(kSection, kDirectory);
  if (!directory.empty()) folders_.SetDirectory(directory);
  const std::string mask = settings_.Read(kSection, kFileMask);
  if (!mask.empty()) SetText(Control(kEdit1), mask);
  const bool subDirectories = settings_.Read(kSection, kSubDirectories) != "False";
  if (subDirectories != SubDirectoriesChecked()) {
    SendMessageW(Control(kCheckBox1), BM_SETCHECK, subDirectories ? BST_CHECKED : BST_UNCHECKED, 0);
    CheckBox1Click();
  }
}

void TDF::BitBtn1Click() {
  const std::string& directory = folders_.Directory();
  const std::string mask = WindowText(Control(kEdit1));
  search_.SearchFile = directory.ends_with('\\') ? directory + mask : directory + "\\" + mask;
  search_.RecurseSubFolders = SubDirectoriesChecked();
  added_ = false;
  HWND second = Control(kBitBtn2);
  SetText(second, kStop);
  SendMessageW(second, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(FontKind::kBold)), TRUE);
  EnableWindow(Control(kBitBtn1), FALSE);
  // Whatever ends the scan, an error included, the list then shows all it got
  // and the dialog closes.
  struct AfterTheScan {
    TDF& dialog;
    ~AfterTheScan() {
      dialog.filling_.reset();
      dialog.EndModal(IDOK);
    }
  } afterTheScan{*this};
  filling_.emplace(files_.Handle(), app_.Clock());
  search_.Execute();
  filling_.reset();
  if (!search_.NotListed().empty())
    app_.MessageBox().Show(app_.Title(), NamedList(kNotListed, search_.NotListed()), MB_OK | MB_ICONWARNING);
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

void TDF::FileSearch1Finish() { EndModal(IDOK); }

void TDF::NewDirectoryListBox1Change() {
  settings_.Write(settingkeys::kSection, settingkeys::kDirectory, folders_.Directory());
}

void TDF::Edit1Change() {
  settings_.Write(settingkeys::kSection, settingkeys::kFileMask, WindowText(Control(kEdit1)));
}

void TDF::CheckBox1Click() {
  settings_.Write(settingkeys::kSection, settingkeys::kSubDirectories, BooleanText(SubDirectoriesChecked()));
}

void TDF::OnCommand(int id, int code) {
  switch (id) {
    case kBitBtn1:
      if (code == BN_CLICKED) BitBtn1Click();
      return;
    case kBitBtn2:
      if (code == BN_CLICKED) BitBtn2Click();
      return;
    case kEdit1:
      if (code == EN_CHANGE) Edit1Change();
      return;
    case kCheckBox1:
      if (code == BN_CLICKED) CheckBox1Click();
      return;
    default:
      return;
  }
}

LRESULT TDF::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam && !shown_) {
        shown_ = true;
        FormShow();
      }
      break;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace varnex
