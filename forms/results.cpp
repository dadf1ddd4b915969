#include "forms/results.h"

#include <string>

#include "engine/error.h"
#include "engine/leftout.h"
#include "framework/dpi.h"
#include "framework/layout.h"
#include "framework/pictures.h"
#include "framework/windowtext.h"
#include "resources/resource.h"

namespace varnex {
namespace {

constexpr char kCaption[] = "Results...";
constexpr char kFinished[] = "Find and replace successfully finished.";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // with WS_EX_DLGMODALFRAME: only the close box
constexpr SIZE kClientSize = {289, 124};
constexpr int kCountMargin = 18;  // from a number's right edge to the client area's
constexpr int kSkippedRow = 20;   // the height the row of skipped files adds, at 96 DPI
constexpr int kFailuresRoom = 92;  // and the list of files not processed, under the buttons
constexpr COLORREF kCountColour = RGB(0, 0, 255);

// Labels take the size of their text once it is known (width and height 0
// here), and the two numbers are placed from the right then.
constexpr DWORD kLabel = SS_LEFTNOWORDWRAP;
constexpr ControlLayout kLayout[] = {
    {TRF::kImage1, "STATIC", "", SS_OWNERDRAW, 0, 14, 18, 65, 51, FontKind::kWindow},
    {TRF::kLabel5, "STATIC", kFinished, kLabel, 0, 93, 16, 0, 0, FontKind::kWindow},
    {TRF::kLabel1, "STATIC", "Files searched:", kLabel, 0, 93, 36, 0, 0, FontKind::kWindow},
    {TRF::kLabel3, "STATIC", "", kLabel, 0, 0, 36, 0, 0, FontKind::kWindow},
    {TRF::kLabel2, "STATIC", "Files found && replaced:", kLabel, 0, 93, 57, 0, 0, FontKind::kWindow},
    {TRF::kLabel4, "STATIC", "", kLabel, 0, 0, 57, 0, 0, FontKind::kWindow},
    {TRF::kButton2, "BUTTON", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 188, 86, 85, 25, FontKind::kWindow},
    {TRF::kButton1, "BUTTON", "&Show LOG file", BS_PUSHBUTTON | WS_TABSTOP, 0, 93, 86, 85, 25, FontKind::kWindow},
    {TRF::kMemo1, "EDIT", "",
     ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE, 14, 120, 261, 84, FontKind::kWindow},
};

// A run that could not do some of its files does not call itself a success.
std::string FinishedText(int filesFailed) {
  if (filesFailed == 0) return kFinished;
  return std::to_string(filesFailed) + (filesFailed == 1 ? " file" : " files") + " could not be processed.";
}

// Gives a label the size of its text in its own font.
void FitToText(HWND label) {
  const std::string text = WindowText(label);
  RECT bounds{};
  HDC dc = GetDC(label);
  {
    const SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    DrawTextLine(dc, text, bounds, DT_CALCRECT);
  }
  ReleaseDC(label, dc);
  SetWindowPos(label, nullptr, 0, 0, bounds.right, bounds.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Sizes a label showing a number to its text and keeps its right edge
// `margin` from the client area's right edge, however wide the number.
void PlaceCount(HWND dialog, HWND label, int margin) {
  FitToText(label);
  RECT client, frame;
  GetClientRect(dialog, &client);
  GetWindowRect(label, &frame);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&frame), 2);
  SetWindowPos(label, nullptr, client.right - (frame.right - frame.left) - margin, frame.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TRF::TRF(Application& application, Beeper beep) : Window(application), beep_(std::move(beep)) {
  Commands().OnClick(kButton1, [this] { Button1Click(); });
  Commands().OnClick(kButton2, [this] { Button2Click(); });  // OK
  Commands().OnClick(IDCANCEL, [this] { Button2Click(); });  // Esc
}

void TRF::Show(Application& application, const RunCounts& counts, const std::string& logPath) {
  std::vector<std::string> failures;
  for (const FileFailure& failure : counts.failures) failures.push_back(WithReason(failure.error, " "));
  for (const std::string& path : counts.binary) failures.push_back(SkippedFileText(path));
  TRF form(application);
  form.Create(counts.searched, counts.written, counts.failed, logPath, static_cast<int>(counts.binary.size()), failures);
  form.ShowModal();
}

void TRF::Create(int filesSearched, int filesReplaced, int filesFailed, std::string logPath, int binarySkipped,
                 const std::vector<std::string>& failures) {
  logPath_ = std::move(logPath);
  listsFailures_ = !failures.empty();
  CreateAs(WindowClass{"TRF"}, WS_EX_DLGMODALFRAME, kCaption, kStyle, GetActiveWindow());
  std::vector<std::pair<int, HWND>> controls = CreateControls(Handle(), kLayout);
  if (binarySkipped > 0) {
    const ControlLayout row{kSkipped, "STATIC", "", kLabel, 0, 93, 78, 0, 0, FontKind::kWindow};
    skipped_ = CreateControls(Handle(), std::span(&row, 1)).front().second;
    SetText(skipped_, SkippedText(binarySkipped));
    controls.emplace_back(kSkipped, skipped_);
  }
  KeepControlHandles(std::move(controls));
  if (filesFailed != 0) SetText(Control(kLabel5), FinishedText(filesFailed));
  std::string lines;
  for (const std::string& failure : failures) lines.append(lines.empty() ? "" : "\r\n").append(failure);
  SetText(Control(kMemo1), lines);
  ShowWindow(Control(kMemo1), listsFailures_ ? SW_SHOWNA : SW_HIDE);
  SetText(Control(kLabel3), std::to_string(filesSearched));
  SetText(Control(kLabel4), std::to_string(filesReplaced));
  LayOutAt(WindowDpi(Handle()));
  SetDefaultButton(kButton2);
  CentreOnScreen(Handle());
}

std::span<const ControlLayout> TRF::LayoutTable() { return kLayout; }

void TRF::LayOut(UINT dpi) {
  Fonts fonts(dpi);
  PlaceControls(Handle(), kLayout, fonts);
  SetClientSize(Handle(),
                {kClientSize.cx, kClientSize.cy + (skipped_ != nullptr ? kSkippedRow : 0) +
                                     (listsFailures_ ? kFailuresRoom : 0)},
                dpi);
  if (skipped_ != nullptr) {
    // The row goes under the counts, and the buttons and the list make room.
    const int room = ScaleToDpi(kSkippedRow, dpi);
    SetWindowPos(skipped_, nullptr, ScaleToDpi(93, dpi), ScaleToDpi(78, dpi), 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(skipped_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(FontKind::kWindow)), FALSE);
    FitToText(skipped_);
    for (int control : {kButton1, kButton2, kMemo1}) {
      RECT place;
      GetWindowRect(Control(control), &place);
      MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
      SetWindowPos(Control(control), nullptr, place.left, place.top + room, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  for (int label : {kLabel5, kLabel1, kLabel2}) FitToText(Control(label));
  for (int count : {kLabel3, kLabel4}) PlaceCount(Handle(), Control(count), ScaleToDpi(kCountMargin, dpi));
  fonts_ = std::move(fonts);
  arrow_ = LoadPicture(app_.Instance(), IDB_RESULTS_ARROW, dpi);
}

void TRF::FormShow() { beep_(0); }

// The keyboard goes back to OK: a second Enter closes the dialog rather than
// opening the log again.
void TRF::Button1Click() {
  app_.OpenInNotepad(logPath_, SW_SHOW);
  SetFocus(Control(kButton2));
}

// The same way out as the close box.
void TRF::Button2Click() { SendMessageW(Handle(), WM_CLOSE, 0, 0); }

// The arrow stretched over the whole control.
void TRF::Image1Paint(const DRAWITEMSTRUCT& item) const {
  BITMAP picture;
  GetObjectW(arrow_.Get(), sizeof picture, &picture);
  const MemoryDcHandle source(CreateCompatibleDC(item.hDC));
  const SelectedObject selected(source.Get(), arrow_.Get());
  SetStretchBltMode(item.hDC, COLORONCOLOR);
  StretchBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
             item.rcItem.bottom - item.rcItem.top, source.Get(), 0, 0, picture.bmWidth, picture.bmHeight, SRCCOPY);
}

LRESULT TRF::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SHOWWINDOW:
      // lParam: shown because the owner was restored. The beep waits until the
      // dialog is on the screen and drawn (a timer comes after the painting):
      // a first beep costs Wine tens of milliseconds of loading its sound
      // drivers, which the results would otherwise wait for.
      if (wParam && lParam == 0) SetTimer(Handle(), kBeepTimer, 0, nullptr);
      break;
    case WM_TIMER:
      if (wParam != kBeepTimer) break;
      KillTimer(Handle(), kBeepTimer);
      FormShow();
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlID != kImage1) break;
      Image1Paint(item);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      const LRESULT brush = DefaultHandling(message, wParam, lParam);
      const HWND label = reinterpret_cast<HWND>(lParam);
      if (label == Control(kLabel3) || label == Control(kLabel4))
        SetTextColor(reinterpret_cast<HDC>(wParam), kCountColour);
      return brush;
    }
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace varnex
