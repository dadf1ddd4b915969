#pragma once
// The main window's list commands: files added from the file dialog, from
// Add Directory and by dropping them on the window; a filename list loaded
// and saved; entries deleted; and the list box's own keys (Del and
// type-ahead), double click, hint and menu. They see the window through its
// MainView.

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <string>

#include "engine/typeahead.h"
#include "forms/mainview.h"
#include "framework/handle.h"
#include "framework/hints.h"
#include "framework/settings.h"

namespace varnex {

class MainListCommands {
 public:
  // Add Directory keeps its choices in `settings`.
  MainListCommands(MainView& view, const SettingsStore& settings);
  MainListCommands(const MainListCommands&) = delete;
  MainListCommands& operator=(const MainListCommands&) = delete;

  // Takes over the view's list box (its keys, double click and the hint) and
  // gives the plus and minus buttons their menus.
  void Attach(HWND addButton, HWND removeButton);

  void Files1Click();
  void Directory1Click();
  void Loadfilelist1Click();
  void Savefilelistas1Click();
  void WMDropFiles(HDROP drop);
  void Deleteselected1Click();
  void Deleteall1Click();
  void ListBox1KeyDown(WPARAM key);
  void ListBox1KeyPress(char16_t key);
  void ListBox1DblClick();
  void ListBox1MouseMove();
  // The list's menu: at the pointer, or at `where` == -1 (Shift+F10, the
  // menu key) below the current entry.
  void ListBox1ContextPopup(LPARAM where);

 private:
  OPENFILENAMEW ListFileRequest(std::wstring& name) const;
  // The list box's own keys and mouse, ahead of its own procedure.
  static LRESULT CALLBACK ListBoxProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

  MainView& view_;
  const SettingsStore& settings_;
  TypeAhead typeAhead_;
  // The file name the file dialog opens on: the last file dropped.
  std::string openDialogFileName_;
  Hints hints_;
  WNDPROC listBoxProcedure_ = nullptr;
  MenuHandle addMenu_;     // PopupMenu2
  MenuHandle deleteMenu_;  // PopupMenu3
  MenuHandle listMenu_;    // PopupMenu1
};

}  // namespace varnex
