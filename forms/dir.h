#pragma once
// TDF, the Add Directory dialog: a drive, a folder (picked in the list or
// typed in the box above it), a file mask, what to leave out and whether
// subfolders count; "Add" scans the tree and appends every match to the main
// window's file list as it is found. The dialog remembers its choices in the
// settings file, writing each as soon as it changes.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "filelist/FileFind.h"
#include "filelist/filelist.h"
#include "filelist/listfill.h"
#include "framework/fonts.h"
#include "framework/handle.h"
#include "framework/layout.h"
#include "framework/settings.h"
#include "framework/window.h"
#include "pickers/NewFCtrl.h"

namespace varnex {

class TDF : public Window<TDF> {
 public:
  enum ControlId {
    kNewDriveComboBox1 = 101,
    kNewDirectoryListBox1,
    kLabel1,
    kEdit1,
    kCheckBox1,
    kFolderLabel,
    kFolderBox,
    kExcludeLabel,
    kExcludeBox,
    kSkipBinary,
    kDriveLabel,
    kFoldersLabel,
    kBitBtn1 = IDOK,
    kBitBtn2 = IDCANCEL,
  };

  // The dialog's choices are kept in `settings`; the matches go to `files`,
  // and `filesChanged` runs once the first has joined them.
  TDF(Application& application, const SettingsStore& settings, FileList& files, std::function<void()> filesChanged);

  // Shows a fresh dialog and returns when it has closed.
  static void Show(Application& application, const SettingsStore& settings, FileList& files,
                   std::function<void()> filesChanged);

  // Creates the dialog, not yet visible.
  void Create();
  // The dialog's controls in 96-DPI pixels, the pickers first.
  static std::span<const ControlLayout> LayoutTable();

  void FormShow();
  void BitBtn1Click();
  void BitBtn2Click();
  void FileSearch1FileFind(const std::string& fullpath, const TSearchRec& info);
  void FileSearch1Finish();
  void NewDirectoryListBox1Change();
  void Edit1Change();
  void CheckBox1Click();
  // The folder typed in the box, opened in the list (Enter, or the focus
  // leaving the box); false, with a message, where there is no such folder.
  bool FolderBoxDone();
  void ExcludeBoxChange();
  void SkipBinaryClick();

  TNewDirectoryListBox& Folders() { return folders_; }
  TNewDriveComboBox& Drives() { return drives_; }
  TFileSearch& FileSearch1() { return search_; }

 private:
  friend class Window<TDF>;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void LayOut(UINT dpi);
  void SetButtonPicture(int id, int picture, UINT dpi);
  bool Checked(int id) const;
  void BackToReady();
  // What the last scan left out and could not list, in one text; empty for nothing.
  std::string WhatWasLeftOut() const;

  const SettingsStore& settings_;
  FileList& files_;
  std::function<void()> filesChanged_;
  Fonts fonts_;
  TNewDriveComboBox drives_;
  TNewDirectoryListBox folders_;
  TFileSearch search_;
  std::optional<ListFill> filling_;  // the main window's list, while a scan fills it
  ImageListHandle pictures_[2];
  bool shown_ = false;
  bool added_ = false;  // whether the scan in hand has added a file yet
};

}  // namespace varnex
