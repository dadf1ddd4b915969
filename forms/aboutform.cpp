#include "forms/aboutform.h"

#include <windowsx.h>

#include <utility>

#include "engine/error.h"
#include "framework/dpi.h"
#include "framework/keylink.h"
#include "framework/layout.h"
#include "framework/pictures.h"
#include "framework/unicode.h"
#include "resources/resource.h"
#include "resources/version.h"

namespace varnex {
namespace {

constexpr char kCaption[] = "About " VARNEX_TITLE;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;  // with WS_EX_DLGMODALFRAME: no title-bar buttons
constexpr SIZE kClientSize = {234, 161};

constexpr char kMaker[] = "Varnex Team";
constexpr char kNotice[] = "Copyright (C) 2026 Varnex Team";
constexpr char kWebText[] = "www.varnex.test";
constexpr COLORREF kRestingLink = RGB(0, 0, 255);
constexpr COLORREF kLitLink = RGB(255, 0, 0);

constexpr DWORD kLabel = SS_LEFTNOWORDWRAP;
constexpr DWORD kLink = SS_LEFTNOWORDWRAP | SS_NOTIFY | WS_TABSTOP;  // takes the mouse, for clicks and its hint
constexpr ControlLayout kLayout[] = {
    {TAbout::kImage1, "STATIC", "", SS_ICON | SS_REALSIZECONTROL, 0, 11, 11, 32, 32, FontKind::kWindow},
    {TAbout::kBevel1, "STATIC", "", SS_SUNKEN | WS_CLIPSIBLINGS, 0, 10, 10, 34, 34, FontKind::kWindow},
    {TAbout::kLabel1, "STATIC", kMaker, kLabel, 0, 55, 8, 76, 15, FontKind::kWindow},
    {TAbout::kLabel2, "STATIC", VARNEX_TITLE " " VARNEX_VERSION_TEXT, kLabel, 0, 55, 24, 148, 15, FontKind::kWindow},
    {TAbout::kLabel3, "STATIC", kNotice, kLabel, 0, 55, 40, 170, 15, FontKind::kWindow},
    {TAbout::kLabel4, "STATIC", "Web Site:", kLabel, 0, 55, 64, 50, 15, FontKind::kWindow},
    {TAbout::kLabel5, "STATIC", kWebText, kLink, 0, 108, 64, 110, 15, FontKind::kWindow},
    {TAbout::kLabel6, "STATIC", "E-mail:", kLabel, 0, 55, 80, 40, 15, FontKind::kWindow},
    {TAbout::kLabel7, "STATIC", TAbout::kMailAddress, kLink, 0, 108, 80, 118, 15, FontKind::kWindow},
    {TAbout::kLabel8, "STATIC", "See license.txt for distribution", kLink, 0, 55, 104, 170, 15, FontKind::kWindow},
    {TAbout::kBitBtn1, "BUTTON", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 55, 128, 106, 25, FontKind::kWindow},
};

// The bevel's frame and Label8 leave the links alone; everything else that
// has no link of its own makes both plain.
constexpr std::pair<int, MouseMove> kMouseMoves[] = {
    {0, MouseMove::kPlainLinks},
    {TAbout::kBevel1, MouseMove::kNone},
    {TAbout::kImage1, MouseMove::kPlainLinks},
    {TAbout::kLabel1, MouseMove::kPlainLinks},
    {TAbout::kLabel2, MouseMove::kPlainLinks},
    {TAbout::kLabel3, MouseMove::kPlainLinks},
    {TAbout::kLabel4, MouseMove::kPlainLinks},
    {TAbout::kLabel5, MouseMove::kWebLinkLit},
    {TAbout::kLabel6, MouseMove::kPlainLinks},
    {TAbout::kLabel7, MouseMove::kMailLinkLit},
    {TAbout::kLabel8, MouseMove::kNone},
    {TAbout::kBitBtn1, MouseMove::kPlainLinks},
};

// Controls that take the mouse themselves, so the box never sees its moves.
constexpr int kMouseTakers[] = {TAbout::kLabel5, TAbout::kLabel7, TAbout::kBitBtn1};

}  // namespace

LinkLooks LooksAfter(LinkLooks current, MouseMove behaviour) {
  switch (behaviour) {
    case MouseMove::kNone:
      return current;
    case MouseMove::kPlainLinks:
      return {};
    case MouseMove::kWebLinkLit:
      return {.webLit = true, .mailLit = false};
    case MouseMove::kMailLinkLit:
      return {.webLit = false, .mailLit = true};
  }
  return current;
}

TAbout::TAbout(Application& application) : Window(application) {
  // A click of a link (STN_CLICKED) or of the button (BN_CLICKED), or Esc.
  Commands().OnClick(kLabel5, [this] { Label5Click(); });
  Commands().OnClick(kLabel7, [this] { Label7Click(); });
  Commands().OnClick(kLabel8, [this] { Label8Click(); });
  Commands().OnClick(kBitBtn1, [this] { BitBtn1Click(); });
  Commands().OnClick(IDCANCEL, [this] { BitBtn1Click(); });
}

void TAbout::Show(Application& application) {
  TAbout box(application);
  box.Create();
  box.ShowModal();
}

void TAbout::Create() {
  CreateAs(WindowClass{"TAbout"}, WS_EX_DLGMODALFRAME, kCaption, kStyle, GetActiveWindow());
  KeepControlHandles(CreateControls(Handle(), kLayout));
  LayOutAt(WindowDpi(Handle()));

  for (int id : kMouseTakers) SetWindowSubclass(Control(id), ReportMouseMove, 0, reinterpret_cast<DWORD_PTR>(this));
  MakeKeyboardLink(Control(kLabel5));
  MakeKeyboardLink(Control(kLabel7));
  MakeKeyboardLink(Control(kLabel8));
  // First in the tab order, so the box opens on OK and Enter closes it; Tab
  // goes on to the links.
  SetWindowPos(Control(kBitBtn1), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  if (!hints_.Create(Handle(), app_.Instance(), app_.HintHidePause())) {
    throw Error("Cannot create the hints of the About box");
  }
  hints_.Add(Control(kLabel5), kWebPage);
  hints_.Add(Control(kLabel7), std::string("Mailto ") + kMailAddress);

  SetDefaultButton(kBitBtn1);
  CentreOnScreen(Handle());
}

std::span<const ControlLayout> TAbout::LayoutTable() { return kLayout; }

void TAbout::LayOut(UINT dpi) {
  Fonts fonts(dpi);
  PlaceControls(Handle(), kLayout, fonts);
  SetClientSize(Handle(), kClientSize, dpi);
  fonts_ = std::move(fonts);
  ShowLooks();
  // The icon and the OK picture are drawn for the DPI.
  FormCreate();
  okPicture_ = LoadButtonPicture(app_.Instance(), IDB_OK_TICK, dpi);
  BUTTON_IMAGELIST picture{okPicture_.Get(), {0, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  SendMessageW(Control(kBitBtn1), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&picture));
}

// The application's icon is the icon resource of its module.
void TAbout::FormCreate() {
  SendMessageW(Control(kImage1), STM_SETICON,
               reinterpret_cast<WPARAM>(LoadProgramIcon(app_.Instance(), ScaleToDpi(32, Dpi()))), 0);
}

MouseMove TAbout::MouseMoveOf(int controlId) {
  for (auto [control, behaviour] : kMouseMoves) {
    if (control == controlId) return behaviour;
  }
  return MouseMove::kNone;
}

void TAbout::FormMouseMove() { SetLooks(LooksAfter(looks_, MouseMove::kPlainLinks)); }
void TAbout::Label5MouseMove() { SetLooks(LooksAfter(looks_, MouseMove::kWebLinkLit)); }
void TAbout::Label7MouseMove() { SetLooks(LooksAfter(looks_, MouseMove::kMailLinkLit)); }

void TAbout::Label5Click() { OpenLink(kWebPage); }
void TAbout::Label7Click() { OpenLink(std::string("mailto:") + kMailAddress); }

// The licence ships beside the program.
void TAbout::Label8Click() { app_.OpenInNotepad(ProgramDirectory() + "\\license.txt", SW_SHOWNORMAL); }

void TAbout::BitBtn1Click() {
  if (IsModal())
    EndModal(IDOK);
  else
    DestroyWindow(Handle());
}

void TAbout::OpenLink(const std::string& file) {
  try {
    app_.Programs().ShellOpen(GetDesktopWindow(), file, SW_HIDE);
  } catch (...) {
    // Whatever the shell makes of the address is all the user sees.
  }
}

void TAbout::MouseMoveOver(int controlId) {
  switch (MouseMoveOf(controlId)) {
    case MouseMove::kNone:
      return;
    case MouseMove::kPlainLinks:
      return FormMouseMove();
    case MouseMove::kWebLinkLit:
      return Label5MouseMove();
    case MouseMove::kMailLinkLit:
      return Label7MouseMove();
  }
}

void TAbout::SetLooks(LinkLooks looks) {
  if (looks == looks_) return;
  looks_ = looks;
  ShowLooks();
}

// The colour follows at the repaint, from WM_CTLCOLORSTATIC.
void TAbout::ShowLooks() {
  for (auto [link, lit] : {std::pair{kLabel5, looks_.webLit}, std::pair{kLabel7, looks_.mailLit}}) {
    const HFONT font = fonts_.Get(lit ? FontKind::kLink : FontKind::kWindow);
    SendMessageW(Control(link), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

LRESULT CALLBACK TAbout::ReportMouseMove(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
  if (message == WM_MOUSEMOVE)
    reinterpret_cast<TAbout*>(self)->MouseMoveOver(GetDlgCtrlID(control));
  else if (message == WM_NCDESTROY)
    RemoveWindowSubclass(control, ReportMouseMove, 0);
  return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT TAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE: {
      // Labels, the picture and the bevel let the mouse through to the box.
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const HWND child = ChildWindowFromPointEx(Handle(), point, CWP_SKIPINVISIBLE);
      MouseMoveOver(child != nullptr && child != Handle() ? GetDlgCtrlID(child) : 0);
      return 0;
    }
    case WM_SETCURSOR: {
      const HWND under = reinterpret_cast<HWND>(wParam);
      if (LOWORD(lParam) == HTCLIENT &&
          (under == Control(kLabel5) || under == Control(kLabel7) || under == Control(kLabel8))) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      const LRESULT brush = DefaultHandling(message, wParam, lParam);
      const HWND label = reinterpret_cast<HWND>(lParam);
      const HDC dc = reinterpret_cast<HDC>(wParam);
      if (label == Control(kLabel5)) SetTextColor(dc, looks_.webLit ? kLitLink : kRestingLink);
      if (label == Control(kLabel7)) SetTextColor(dc, looks_.mailLit ? kLitLink : kRestingLink);
      if (label == Control(kLabel8)) SetTextColor(dc, kRestingLink);
      return brush;
    }
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace varnex
