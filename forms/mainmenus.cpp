#include "forms/mainmenus.h"

#include <initializer_list>
#include <span>
#include <utility>

#include "forms/mainview.h"
#include "framework/unicode.h"

namespace varnex {
namespace {

struct MenuItem {
  int id;  // 0: a separator
  const char* caption;
};
using MenuPart = std::span<const MenuItem>;

// The plus button's; the list's menu begins with it too.
constexpr MenuItem kAddItems[] = {{kFiles1, "Add &File(s)..."}, {kDirectory1, "Add &Directory..."}};
constexpr MenuItem kDeleteItems[] = {{kDeleteselected1, "Delete &Selected...\tDel"}, {kDeleteall1, "Delete &All..."}};
// The menu bar: every command, by what it works on; the shortcuts work
// wherever the window has the keyboard (see TMF::ShortcutKey).
constexpr MenuItem kFileItems[] = {{kFiles1, "Add &File(s)...\tCtrl+O"},
                                   {kDirectory1, "Add &Directory...\tCtrl+D"},
                                   {0, nullptr},
                                   {kLoadfilelist1, "&Load filename list..."},
                                   {kSavefilelistas1, "&Save filename list as...\tCtrl+S"},
                                   {0, nullptr},
                                   {kExit1, "E&xit\tAlt+F4"}};
constexpr MenuItem kRunItems[] = {{kPreviewReplaceAll1, "&Preview Replace All...\tCtrl+Shift+P"},
                                  {kReplaceAllNow1, "&Replace All Now"},
                                  {kUndoLastRun1, "&Undo Last Run...\tCtrl+Z"},
                                  {0, nullptr},
                                  {kStop1, "&Stop\tEsc"}};
// The list's, after the plus button's items.
constexpr MenuItem kListItems[] = {{kLoadfilelist1, "&Load filename list..."},
                                   {kSavefilelistas1, "&Save filename list as..."},
                                   {0, nullptr},
                                   {kPreviewReplaceAll1, "Pre&view Replace All...\tCtrl+Shift+P"},
                                   {kUndoLastRun1, "&Undo Last Run..."}};
constexpr MenuItem kHelpItems[] = {{kVersionHistory1, "&Version History"}, {kAbout1, "&About..."}};

// The parts' items, a separator between one part and the next.
HMENU MakePopup(std::initializer_list<MenuPart> parts) {
  HMENU menu = CreatePopupMenu();
  for (const MenuPart& part : parts) {
    if (&part != parts.begin()) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (const MenuItem& item : part) {
      if (item.id == 0) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(menu, MF_STRING, item.id, Wide(item.caption).c_str());
      }
    }
  }
  return menu;
}

}  // namespace

HMENU MakeMainMenu() {
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(MakePopup({kFileItems})), L"&File");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(MakePopup({kRunItems})), L"&Run");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(MakePopup({kHelpItems})), L"&Help");
  return bar;
}

HMENU MakeAddMenu() { return MakePopup({kAddItems}); }
HMENU MakeDeleteMenu() { return MakePopup({kDeleteItems}); }
HMENU MakeListMenu() { return MakePopup({kAddItems, kListItems}); }

void FollowCommandState(HMENU menu, bool working, bool realFiles, bool canUndo) {
  const bool idle = !working;
  const std::pair<int, bool> states[] = {
      {kFiles1, idle},          {kDirectory1, idle},         {kLoadfilelist1, idle},
      {kUndoLastRun1, canUndo}, {kPreviewReplaceAll1, realFiles && idle}, {kReplaceAllNow1, realFiles && idle},
      {kStop1, working}};
  for (auto [id, enabled] : states) EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace varnex
