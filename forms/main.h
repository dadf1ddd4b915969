#pragma once
// TMF, the main window: the file list, the find and replace boxes, the button
// that starts a run, the button that shows the options panel and the Help menu.
// It keeps the settings store and the run session, which it asks to run and to
// undo.

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "filelist/filelist.h"
#include "engine/typeahead.h"
#include "framework/fonts.h"
#include "framework/layout.h"
#include "framework/settings.h"
#include "framework/window.h"
#include "run/runsession.h"

namespace varnex {

class TAF;

class TMF : public Window<TMF> {
 public:
  // The controls and menu items, by the names of the window's layout.
  enum ControlId {
    kGroupBox1 = 101,
    kListBox1,
    kSpeedButton1,
    kSpeedButton2,
    kButton4,
    kLabel3,
    kEdit2,
    kLabel4,
    kEdit3,
    kButton,
    kProgressBar1,  // files done of files listed, during a run
    kLabel5,        // the same as "N of M"
  };

  enum MenuId {
    kVersionHistory1 = 201,
    kAbout1,
    kFiles1,
    kDirectory1,
    kDeleteselected1,
    kDeleteall1,
    kLoadfilelist1,
    kSavefilelistas1,
    kUndoLastRun1,
    kPreviewReplaceAll1,
  };

  // "Replace All Now" while no run goes, "STOP" during a run.
  static constexpr char kRunCaption[] = "Replace All &Now";
  static constexpr char kStopCaption[] = "&STOP";
  // The picture buttons' names, shown as their hints.
  static constexpr char kAddHint[] = "Add files to the list";
  static constexpr char kRemoveHint[] = "Remove files from the list";

  TMF(Application& application, std::string programDirectory);

  // Creates the window, not yet visible; its creation step starts the log.
  void Create();
  // The window's controls in 96-DPI pixels.
  static std::span<const ControlLayout> LayoutTable();
  // The options panel, made after the main window and before its first showing.
  void AttachOptionsPanel(TAF& panel);
  // Shows the window centred on the screen; the first showing applies the
  // stored options and puts the placeholder into the empty file list.
  void Show();

  std::string FileExt(std::string_view extension) const;

  const std::string& ProgramDirectory() const { return programDirectory_; }
  const std::string& LogPath() const { return session_.LogPath(); }
  const ActivityLog& Log() const { return session_.Log(); }
  const SettingsStore& Settings() const { return settings_; }
  FileList& Files() { return fileList_; }
  // `Button` and `SpeedButton2` are enabled exactly while the list holds real files.
  void FollowListState();
  // The file name the file dialog opens on: the last file dropped.
  const std::string& OpenDialogFileName() const { return openDialogFileName_; }

  // Handlers, named after their controls and events.
  void FormShow();
  // Starts a run, or during one stops it after the file in hand.
  void ButtonClick();
  // What a run would change, looked at first; from there the run can start.
  void PreviewReplaceAll1Click();
  void Loadfilelist1Click();
  void Savefilelistas1Click();
  void Files1Click();
  void Directory1Click();
  void WMDropFiles(HDROP drop);
  void Deleteselected1Click();
  void ListBox1KeyDown(WPARAM key);
  void ListBox1KeyPress(char16_t key);
  void Deleteall1Click();
  void ListBox1DblClick();
  void ListBox1MouseMove();
  // The list's menu: at the pointer, or at `where` == -1 (Shift+F10, the
  // menu key) below the current entry.
  void ListBox1ContextPopup(LPARAM where);
  void Button4Click();
  void Timer1Timer();
  // Gives the files the last run changed their earlier text back.
  void UndoLastRun1Click();
  // True while a last run can be undone: its store is there and no run goes.
  bool CanUndo() const;
  void VersionHistory1Click();
  void About1Click();

 private:
  friend class Window<TMF>;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id);
  bool ShortcutKey(const MSG& key);
  void FormCreate();
  void FormClose();
  void CreateParts();
  void LayOut(UINT dpi);
  void HideOptionsPanel();
  // The options button's caption says what it will do to the panel as it is now.
  void FollowOptionsPanel(bool shown);
  bool Confirm(const char* question);
  // Ends the run or undo in hand after its current file; nothing without one.
  void StopRun();
  bool StopRequested() const;
  // The find and replace texts as the memos hold them now.
  std::string FindText() const;
  // The options panel's choices, as a run takes them.
  RunOptions Options() const;
  // Says so, and false, where the texts cannot make a run.
  bool TextsMakeARun();
  std::string ReplaceText() const;
  // The file list's controls are off for the length of a run, however it
  // ends, so the list it walks stays as it was; the memos and the options
  // panel stay live, and the run button is the stop button.
  class Progress;
  class RunHost;
  class UndoProgress;
  class ListLock {
   public:
    explicit ListLock(TMF& form);
    ~ListLock();
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

   private:
    TMF& form_;
  };
  OPENFILENAMEW ListFileRequest(std::wstring& name);
  static LRESULT CALLBACK ListBoxProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

  std::string programDirectory_;
  RunSession session_;
  SettingsStore settings_;
  TAF* panel_ = nullptr;
  Fonts fonts_;
  FileList fileList_;
  TypeAhead typeAhead_;
  std::string openDialogFileName_;
  HWND tooltip_ = nullptr;
  WNDPROC listBoxProcedure_ = nullptr;
  MenuHandle filesMenu_;   // PopupMenu2
  MenuHandle deleteMenu_;  // PopupMenu3
  MenuHandle listMenu_;    // PopupMenu1
  bool shown_ = false;
  // While a run is going, every command that would change the list does
  // nothing, and "Replace All Now" is the button that stops the run.
  bool running_ = false;
  bool stopRequested_ = false;
  bool closeAfterRun_ = false;
};

}  // namespace varnex
