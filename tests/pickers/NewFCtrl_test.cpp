#include "pickers/NewFCtrl.h"
#include "pickers/system.h"

#include <gtest/gtest.h>

#include <dbt.h>
#include <shellapi.h>

#include <algorithm>
#include <bit>

#include "tests/support/canvas.h"
#include "tests/support/fake_services.h"
#include "tests/support/temp_folder.h"

namespace varnex {
namespace {

using Names = std::vector<std::string>;

void MakeFolder(const std::string& path) { ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path; }

std::string Cwd() {
  char buffer[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

std::string WithoutDrive(const std::string& path) { return path.substr(2); }

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && lParam == 0 && LOWORD(wParam) == IDOK) {
    SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_USERDATA) + 1);  // Enter pressed OK
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A hidden host window with both pickers, as the Add Directory dialog places them.
class Pickers : public ::testing::Test {
 protected:
  Pickers() {
    WNDCLASSA hostClass{};
    hostClass.lpfnWndProc = HostProcedure;
    hostClass.hInstance = GetModuleHandleA(nullptr);
    hostClass.lpszClassName = "PickerTestHost";
    RegisterClassA(&hostClass);
    host = CreateWindowExA(0, "PickerTestHost", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  ~Pickers() override { DestroyWindow(host); }

  void CreateList() {
    list.Create(host, 101, 8, 34, 265, 185, fonts);
    list.OnChange = [this] { ++listChanges; };
  }
  void CreateBoth() {
    combo.Create(host, 100, 8, 8, 265, 22, fonts);
    CreateList();
    combo.SetDirList(&list);
    combo.SetTextCase(tcUpperCase);
    combo.OnChange = [this] { ++comboChanges; };
    listChanges = 0;
  }

  Names RowTexts() const {
    Names texts;
    for (const DirectoryRow& row : list.Rows()) texts.push_back(row.text);
    return texts;
  }
  Names ListBoxTexts() const {
    Names texts;
    const int count = static_cast<int>(SendMessageA(list.ListHandle(), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[MAX_PATH] = "";
      SendMessageA(list.ListHandle(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      texts.emplace_back(text);
    }
    return texts;
  }
  int RowOf(const std::string& text) const {
    const Names texts = RowTexts();
    return static_cast<int>(std::find(texts.begin(), texts.end(), text) - texts.begin());
  }
  void DoubleClickRow(int index) {
    RECT row;
    SendMessageA(list.ListHandle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row));
    const LPARAM at = MAKELPARAM(row.left + 30, row.top + 2);
    SendMessageA(list.ListHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list.ListHandle(), WM_LBUTTONUP, 0, at);
    SendMessageA(list.ListHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list.ListHandle(), WM_LBUTTONUP, 0, at);
  }

  testing::TempFolder folder;
  testing::CurrentDirectoryKept currentDirectory{folder.Path()};  // before the pickers: they read it
  testing::FakeServices services;
  Application app{GetModuleHandleA(nullptr), services.Get()};
  Fonts fonts;
  HWND host = nullptr;
  TNewDriveComboBox combo{app};
  TNewDirectoryListBox list{app};
  int listChanges = 0;
  int comboChanges = 0;
};

// b holds three folders in mixed case, a hidden one, a system one and a file.
class NestedFolders : public Pickers {
 protected:
  void SetUp() override {
    MakeFolder(folder / "a");
    MakeFolder(folder / "a\\b");
    for (const char* name : {"cherry", "Banana", "apple", "secret", "sys"}) MakeFolder(folder / "a\\b\\" + name);
    SetFileAttributesA((folder / "a\\b\\secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((folder / "a\\b\\sys").c_str(), FILE_ATTRIBUTE_SYSTEM);
    testing::WriteFileBytes(folder / "a\\b\\notes.txt", "a file, not a folder");
    b = folder / "a\\b";
    CreateList();
  }
  std::string b;
};

TEST_F(NestedFolders, RowsOfANestedFolder) {
  list.SetDirectory(b);
  EXPECT_EQ(list.Directory(), b);
  EXPECT_EQ(Cwd(), b);

  // Root, one open row per ancestor, the current row, then the visible
  // subfolders sorted regardless of case.
  Names expected{"C:\\"};
  std::string rest = WithoutDrive(b).substr(1);
  for (std::size_t at = rest.find('\\'); at != std::string::npos; at = rest.find('\\')) {
    expected.push_back(rest.substr(0, at));
    rest.erase(0, at + 1);
  }
  expected.push_back("b");
  const int current = static_cast<int>(expected.size()) - 1;
  for (const char* name : {"apple", "Banana", "cherry", "sys"}) expected.emplace_back(name);
  ASSERT_TRUE(GetFileAttributesA((b + "\\secret").c_str()) & FILE_ATTRIBUTE_HIDDEN) << "attributes not kept";
  ASSERT_TRUE(GetFileAttributesA((b + "\\sys").c_str()) & FILE_ATTRIBUTE_SYSTEM) << "attributes not kept";
  EXPECT_EQ(RowTexts(), expected);
  EXPECT_EQ(ListBoxTexts(), expected);

  for (int i = 0; i < static_cast<int>(list.Rows().size()); ++i) {
    const TNewFolderKind kind = i < current ? fkOpen : i == current ? fkCurrent : fkClosed;
    EXPECT_EQ(list.Rows()[i].kind, kind) << i;
    EXPECT_EQ(SendMessageA(list.ListHandle(), LB_GETITEMDATA, i, 0), kind) << i;
  }
  EXPECT_EQ(list.ItemIndex(), current);
  EXPECT_EQ(list.GetItemPath(current + 1), b + "\\apple");
  EXPECT_EQ(list.GetItemPath(current - 1), folder / "a");
  EXPECT_EQ(list.GetItemPath(0), "C:\\");
}

TEST_F(NestedFolders, OnChangeFiresExactlyWhenTheDirectoryChanges) {
  HWND label = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, host, nullptr, nullptr, nullptr);
  list.SetDirLabel(label);
  list.SetDirectory(b);
  ASSERT_EQ(listChanges, 1);

  std::string upper = b;
  CharUpperA(upper.data());
  const struct {
    std::string path;
    std::string directory;
    int changes;  // OnChange calls
  } steps[] = {
      {b, b, 0},                                // the same directory
      {"", b, 0},                               // nothing
      {list.CaseSensitive() ? b : upper, b, 0}, // the same by the volume's rule
      {"apple", b + "\\apple", 1},              // relative to the current directory
      {b + "\\apple", b + "\\apple", 0},
      {b + "\\notes.txt", b, 1},                // a file: its folder
      {b + "\\missing", b, 1},                  // cannot be entered: stays, still reported
      {b + "\\*.txt", b, 1},                    // a mask: its folder (a navigation all the same)
      {folder / "a\\..", folder.Path(), 1},
  };
  for (const auto& step : steps) {
    listChanges = 0;
    list.SetDirectory(step.path);
    EXPECT_EQ(list.Directory(), step.directory) << step.path;
    EXPECT_EQ(listChanges, step.changes) << step.path;
    char text[MAX_PATH] = "";
    GetWindowTextA(label, text, MAX_PATH);
    EXPECT_EQ(text, list.Directory());
  }
}

TEST_F(NestedFolders, DoubleClickAndTypedEnterOpenTheRow) {
  list.SetDirectory(b);
  listChanges = 0;
  DoubleClickRow(RowOf("apple"));
  EXPECT_EQ(list.Directory(), b + "\\apple");
  EXPECT_EQ(listChanges, 1);

  DoubleClickRow(RowOf("apple"));  // the current row: nothing
  EXPECT_EQ(listChanges, 1);

  DoubleClickRow(RowOf("a"));  // an ancestor
  EXPECT_EQ(list.Directory(), folder / "a");
  EXPECT_EQ(listChanges, 2);

  SendMessageA(list.ListHandle(), LB_SETCURSEL, RowOf("b"), 0);
  SendMessageA(list.ListHandle(), WM_CHAR, VK_RETURN, 0);
  EXPECT_EQ(list.Directory(), b);

  SendMessageA(list.ListHandle(), LB_SETCURSEL, 0, 0);  // the root
  SendMessageA(list.ListHandle(), WM_CHAR, VK_RETURN, 0);
  EXPECT_EQ(list.Directory(), "C:\\");
  EXPECT_EQ(RowTexts().front(), "C:\\");
  EXPECT_EQ(list.Rows().front().kind, fkCurrent);
  EXPECT_EQ(listChanges, 4);
}

// Letters typed together find the row they begin: highlighted, not opened.
TEST_F(NestedFolders, TypedLettersTogetherFindTheRowTheyBegin) {
  for (const char* name : {"p100", "p3"}) MakeFolder(b + "\\" + name);
  list.SetDirectory(b);
  for (wchar_t key : {L'P', L'3'}) SendMessageW(list.ListHandle(), WM_CHAR, key, 0);
  EXPECT_EQ(list.ItemIndex(), RowOf("p3"));
  EXPECT_EQ(list.Directory(), b);
}

// In a dialog Enter is the default button's, so Space opens the row.
TEST_F(NestedFolders, EnterInAHostWithDialogKeysGoesToItsDefaultButtonAndSpaceOpensTheRow) {
  list.SetDirectory(b);
  SendMessageA(list.ListHandle(), LB_SETCURSEL, RowOf("apple"), 0);
  SetFocus(list.Handle());
  EXPECT_EQ(GetFocus(), list.ListHandle());
  listChanges = 0;
  MSG enter{list.ListHandle(), WM_KEYDOWN, VK_RETURN, 1, 0, {}};
  EXPECT_TRUE(IsDialogMessageA(host, &enter));
  EXPECT_EQ(GetWindowLongPtrA(host, GWLP_USERDATA), 1);  // OK pressed
  EXPECT_EQ(list.Directory(), b);
  EXPECT_EQ(listChanges, 0);

  MSG space{list.ListHandle(), WM_CHAR, ' ', 1, 0, {}};
  EXPECT_TRUE(IsDialogMessageA(host, &space));
  EXPECT_EQ(list.Directory(), b + "\\apple");
  EXPECT_EQ(listChanges, 1);
}

TEST_F(Pickers, SplitDirectoryPathExamples) {
  // The process in C:\...\Windows, and Z:\...\Data remembered as current on Z:.
  MakeFolder(folder / "Windows");
  MakeFolder(folder / "Windows\\Sub");
  MakeFolder(folder / "Data");
  testing::WriteFileBytes(folder / "Data\\notes.txt", "");
  char unixTemp[MAX_PATH] = "";
  ASSERT_TRUE(GetFullPathNameA("Z:\\tmp", MAX_PATH, unixTemp, nullptr));
  const std::string zData = std::string(unixTemp) + "\\varnex-split-" + std::to_string(GetCurrentProcessId());
  MakeFolder(zData);
  MakeFolder(zData + "\\Reports");
  SetEnvironmentVariableA("=Z:", zData.c_str());
  const std::string windows = folder / "Windows";
  SetCurrentDirectoryA(windows.c_str());

  const struct {
    std::string path;
    char letter;
    std::string dirPart;
    std::string filePart;
  } cases[] = {
      {zData + "\\Reports", 'Z', WithoutDrive(zData) + "\\Reports", ""},
      {folder / "Data\\notes.txt", 'C', WithoutDrive(folder / "Data"), "notes.txt"},
      {folder / "Data\\*.txt", 'C', WithoutDrive(folder / "Data"), "*.txt"},
      {"Sub", 'C', WithoutDrive(windows) + "\\Sub", ""},
      {"Z:", 'Z', WithoutDrive(zData), ""},
      {"C:\\", 'C', "\\", ""},
      {"\\\\server\\share\\dir", '\0', "\\\\server\\share\\dir", ""},
  };
  for (const auto& c : cases) {
    const auto split = TNewDirectoryListBox::SplitDirectoryPath(c.path);
    EXPECT_EQ(split.letter, c.letter) << c.path;
    EXPECT_EQ(split.dirPart, c.dirPart) << c.path;
    EXPECT_EQ(split.filePart, c.filePart) << c.path;
    EXPECT_EQ(Cwd(), windows) << "after " << c.path;
  }
  SetEnvironmentVariableA("=Z:", nullptr);
  RemoveDirectoryA((zData + "\\Reports").c_str());
  RemoveDirectoryA(zData.c_str());
}

TEST_F(Pickers, DisplayNamesFollowTheVolumesCaseRules) {
  const struct {
    bool preserved, sensitive;
    const char* name;
    const char* shown;
  } cases[] = {
      {true, false, "WINDOWS", "windows"},     {true, false, "Program Files", "Program Files"},
      {true, false, "C:\\", "C:\\"},           {false, false, "C:\\", "c:\\"},
      {false, false, "Program Files", "program files"},
      {true, true, "WINDOWS", "WINDOWS"},      {false, true, "MiXed", "MiXed"},
      {true, false, "", ""},
  };
  for (const auto& c : cases) {
    list.SetCaseFlags(c.preserved, c.sensitive);
    EXPECT_EQ(list.DisplayName(c.name), c.shown) << c.name << " " << c.preserved << c.sensitive;
  }
}

// ---- The drive box ----

Names ExpectedEntries(TNewTextCase textCase) {
  Names entries;
  const DWORD present = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((present & (1u << i)) == 0) continue;
    const char letter = DriveLetter(i, textCase);
    const std::string root{static_cast<char>('a' + i), ':', '\\'};
    char label[MAX_PATH] = "";
    GetVolumeInformationA(root.c_str(), label, MAX_PATH, nullptr, nullptr, nullptr, nullptr, 0);
    std::string name = label;
    if (textCase == tcUpperCase) CharUpperA(name.data()); else CharLowerA(name.data());
    entries.push_back(DriveEntryText(letter, GetDriveTypeA(root.c_str()), name));
  }
  return entries;
}

TEST_F(Pickers, OneEntryPerDriveInTheBoxsCase) {
  combo.Create(host, 100, 8, 8, 265, 22, fonts);
  const Names lower = combo.Entries();
  ASSERT_EQ(lower.size(), static_cast<std::size_t>(std::popcount(GetLogicalDrives())));
  EXPECT_EQ(lower, ExpectedEntries(tcLowerCase));
  EXPECT_EQ(lower.front().substr(0, 3), "c: ");  // Wine: C: and Z: at least
  EXPECT_EQ(lower.back().substr(0, 3), "z: ");
  EXPECT_EQ(combo.Drive(), 'c');
  EXPECT_EQ(combo.ItemIndex(), 0);

  combo.SetTextCase(tcUpperCase);
  EXPECT_EQ(combo.Entries(), ExpectedEntries(tcUpperCase));
  EXPECT_EQ(combo.Drive(), 'C');
  EXPECT_EQ(combo.ItemIndex(), 0);
}

TEST_F(Pickers, TheBoxAndTheListFollowEachOther) {
  CreateBoth();
  const int z = static_cast<int>(combo.Entries().size()) - 1;
  combo.SetDrive('z');
  EXPECT_EQ(combo.Drive(), 'Z');
  EXPECT_EQ(combo.ItemIndex(), z);
  EXPECT_EQ(list.Drive(), 'Z');
  EXPECT_EQ(Cwd(), list.Directory());
  EXPECT_EQ(listChanges, 1);
  EXPECT_EQ(comboChanges, 1);

  listChanges = comboChanges = 0;
  list.SetDirectory(folder.Path());  // back to C: through the box, rows read once
  EXPECT_EQ(combo.Drive(), 'C');
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(list.Directory(), folder.Path());
  EXPECT_EQ(listChanges, 1);
  EXPECT_EQ(comboChanges, 1);

  combo.SetDrive('\0');  // no drive: the list keeps its folder but reports
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(list.Directory(), folder.Path());
  EXPECT_EQ(listChanges, 2);
  // Each drive comes back to the folder the list left it in.
  list.SetDirectory("Z:\\tmp");
  combo.SetDrive('C');
  EXPECT_EQ(list.Directory(), folder.Path());
  combo.SetDrive('Z');
  EXPECT_EQ(list.Directory(), "Z:\\tmp");
}

TEST_F(Pickers, PickingANewDriveReportsTwiceTheSameOneOnce) {
  CreateBoth();
  ASSERT_EQ(combo.ItemIndex(), 0);
  SendMessageA(combo.ComboHandle(), WM_KEYDOWN, VK_END, 0);  // as the user does on the closed box
  EXPECT_EQ(combo.ItemIndex(), static_cast<int>(combo.Entries().size()) - 1);
  EXPECT_EQ(combo.Drive(), 'Z');
  EXPECT_EQ(list.Drive(), 'Z');
  EXPECT_EQ(comboChanges, 2);
  EXPECT_EQ(listChanges, 1);

  comboChanges = listChanges = 0;
  SendMessageA(combo.Handle(), WM_COMMAND, MAKEWPARAM(1, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo.ComboHandle()));  // the same entry again
  EXPECT_EQ(comboChanges, 1);
  EXPECT_EQ(listChanges, 0);
}

// WM_DEVICECHANGE as the system broadcasts it to every top-level window.
void BroadcastDeviceChange(WPARAM event, DWORD deviceType) {
  DEV_BROADCAST_VOLUME volume{};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = deviceType;
  const MSG message{nullptr, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume), 0, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM broadcast) {
        const auto* sent = reinterpret_cast<const MSG*>(broadcast);
        SendMessageA(window, WM_DEVICECHANGE, sent->wParam, sent->lParam);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&message));
}

TEST_F(Pickers, VolumeArrivalAndRemovalRebuildTheEntries) {
  CreateBoth();
  const Names entries = combo.Entries();
  const std::string directory = list.Directory();
  const auto forget = [this] { SendMessageA(combo.ComboHandle(), CB_RESETCONTENT, 0, 0); };
  const struct {
    bool autoRefresh;
    WPARAM event;
    DWORD deviceType;
    bool rebuilt;
  } cases[] = {
      {true, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, true},
      {true, DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, true},
      {true, DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, false},
      {true, DBT_DEVNODES_CHANGED, DBT_DEVTYP_VOLUME, false},
      {false, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, false},
  };
  for (const auto& c : cases) {
    forget();
    combo.AutoRefresh = c.autoRefresh;
    comboChanges = listChanges = 0;
    BroadcastDeviceChange(c.event, c.deviceType);
    EXPECT_EQ(combo.Entries(), c.rebuilt ? entries : Names{}) << c.event << " " << c.deviceType;
    EXPECT_EQ(combo.ItemIndex(), c.rebuilt ? 0 : -1);
    EXPECT_EQ(comboChanges, c.rebuilt ? 1 : 0);
    EXPECT_EQ(listChanges, 0);  // the list stays where it is
    EXPECT_EQ(list.Directory(), directory);
  }
}

// ---- Glyphs ----

constexpr UINT kDpis[] = {96, 120, 144, 192};

// Whether the glyph has `ground` in its bottom-left corner and something else
// at the point (x, y) of its 100% drawing.
void ExpectDrawnOn(HBITMAP glyph, int height, COLORREF ground, int x, int y, UINT dpi, const std::string& name) {
  const testing::Canvas canvas(glyph);
  const COLORREF shownGround = GetNearestColor(canvas.Dc(), ground);
  EXPECT_EQ(canvas.Pixel(0, height - 1), shownGround) << name << " at " << dpi;
  EXPECT_NE(canvas.Pixel(ScaleToDpi(x, dpi), ScaleToDpi(y, dpi)), shownGround)
      << name << " at " << dpi << ": the picture is there";
}

TEST(PickerGlyphs, EveryBitmapIsDrawnAtItsScaleOnATransparentGround) {
  const struct {
    int index;
    bool newStyle;
    int height;
  } cases[] = {
      {0, false, 11}, {2, false, 11}, {4, false, 11}, {5, false, 11}, {6, false, 11},
      {7, false, 15}, {8, false, 15}, {9, false, 15},
      {3, true, 14},  {2, true, 14},  {4, true, 15},  {5, true, 15},  {6, true, 14},
      {7, true, 14},  {8, true, 14},  {9, true, 14},
  };
  const COLORREF ground = RGB(10, 20, 30);
  for (const auto& c : cases) {
    for (UINT dpi : kDpis) {
      if (!c.newStyle && dpi != 96) continue;  // only the new-style glyphs are drawn larger
      const std::string name = GlyphResourceName(c.index, c.newStyle, dpi);
      const GlyphPair pair = MakeGlyphPair(GetModuleHandleA(nullptr), name.c_str(), ground);
      ASSERT_TRUE(pair) << name;
      EXPECT_EQ(pair.width, ScaleToDpi(16, dpi)) << name;
      EXPECT_EQ(pair.height, ScaleToDpi(c.height, dpi)) << name;
      ExpectDrawnOn(pair.normal.Get(), pair.height, ground, 7, c.height - 4, dpi, name);
      ExpectDrawnOn(pair.selected.Get(), pair.height, GetSysColor(COLOR_HIGHLIGHT), 7, c.height - 4, dpi, name);
    }
  }
}

// How many of the glyph's pixels show `ground`.
int GroundPixels(HBITMAP glyph, COLORREF ground) {
  const testing::Canvas canvas(glyph);
  return static_cast<int>(std::ranges::count(canvas.Pixels(), GetNearestColor(canvas.Dc(), ground)));
}

TEST(PickerGlyphs, ShellIconsAreTakenAtTheSizeOfEachScaleOnTheControlsColourAndTheHighlight) {
  ASSERT_TRUE(UseShellIcons());
  HIMAGELIST icons = SystemSmallIcons();
  ASSERT_NE(icons, nullptr);
  const COLORREF before = ImageList_GetBkColor(icons);
  const COLORREF ground = RGB(10, 20, 30);
  for (UINT dpi : kDpis) {
    const int size = ScaleToDpi(16, dpi);
    for (UINT open : {0u, static_cast<UINT>(SHGFI_OPENICON)}) {
      const GlyphPair pair = ShellGlyph("c:\\directory", FILE_ATTRIBUTE_DIRECTORY, SHGFI_USEFILEATTRIBUTES | open,
                                        size, ground);
      ASSERT_TRUE(pair) << dpi;
      EXPECT_EQ(pair.width, size);
      EXPECT_EQ(pair.height, size);
      // The icon covers part of the square and the ground shows around it.
      for (auto [glyph, colour] : {std::pair{pair.normal.Get(), ground},
                                   std::pair{pair.selected.Get(), GetSysColor(COLOR_HIGHLIGHT)}}) {
        const int shown = GroundPixels(glyph, colour);
        EXPECT_GT(shown, size) << dpi;
        EXPECT_LT(shown, size * size - size * size / 4) << dpi;
      }
    }
  }
  EXPECT_EQ(ImageList_GetBkColor(icons), before);  // the shared list is put back
}

TEST_F(Pickers, RowsAreAsTallAsTheGlyphsAndTheTextAtEveryScale) {
  CreateBoth();
  for (UINT dpi : kDpis) {
    combo.SetDpi(dpi);
    list.SetDpi(dpi);
    const int least = std::max(ScaleToDpi(16, dpi), FontTextHeight(fonts.Get(FontKind::kWindow)));
    EXPECT_EQ(SendMessageW(list.ListHandle(), LB_GETITEMHEIGHT, 0, 0), least) << dpi;
    EXPECT_EQ(SendMessageW(combo.ComboHandle(), CB_GETITEMHEIGHT, 0, 0), least) << dpi;
  }
}

}  // namespace
}  // namespace varnex
