#include "forms/preview.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <utility>

#include "engine/leftout.h"
#include "forms/settingkeys.h"
#include "framework/dpi.h"
#include "framework/enablecontrol.h"
#include "framework/layout.h"
#include "framework/unicode.h"
#include "framework/windowtext.h"

namespace varnex {
namespace {

constexpr char kCaption[] = "Preview Replace All";
// Until every file has been read, so the taskbar tells it too.
constexpr char kReadingCaption[] = "Preview Replace All - reading...";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr char kStop[] = "&Stop";
constexpr char kClose[] = "Close";
// After the name of a file whose lone CR or LF line ends the run would make CR LF.
constexpr char kLineEndsChange[] = " (line ends become CR LF)";

// In pixels at 96 DPI: the size it opens at first and the least it shrinks to,
// the margins and the bottom row's controls.
constexpr SIZE kClientSize = {720, 400};
constexpr SIZE kLeastSize = {360, 200};
constexpr int kMargin = 8;
constexpr int kLabelHeight = 15;
constexpr SIZE kButton = {110, 25};
constexpr SIZE kProgress = {200, 17};

// Columns: heading and width at 96 DPI.
constexpr std::pair<const char*, int> kHeadings[] = {
    {"File", 220}, {"Occurrences", 75}, {"Line", 50}, {"Before", 180}, {"After", 180}};

constexpr ControlLayout kLayout[] = {
    {TPF::kLabel1, "STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 0, 0, 0, 0, FontKind::kWindow},
    {TPF::kListView1, "SysListView32", "",
     LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE, 0, 0, 0, 0,
     FontKind::kWindow},
    {TPF::kProgressBar1, "msctls_progress32", "", 0, 0, 0, 0, 0, 0, FontKind::kWindow},
    {TPF::kButton1, "BUTTON", "Replace All &Now", BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 0, 0, 0, FontKind::kBold},
    {TPF::kButton2, "BUTTON", kClose, BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 0, 0, 0, FontKind::kWindow},
};

// In the occurrences column of a file the run could not do.
constexpr char kWouldFail[] = "would fail";
// Room a column leaves around its heading, in pixels at 96 DPI: the header's
// margins on either side.
constexpr int kHeadingRoom = 16;

// Between two showings of the progress: the list's rows come as they are found.
constexpr ULONGLONG kShowInterval = 100;  // milliseconds

std::string Counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

int StoredPixels(const SettingsStore& settings, const char* key, int otherwise) {
  const std::string text = settings.Read(settingkeys::kPreviewSection, key);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value > 0 ? value : otherwise;
}

}  // namespace

// The window's share of the preview: the request's texts and options, the
// window kept live, the progress and the rows shown as they come.
class TPF::Host final : public PreviewHost {
 public:
  explicit Host(TPF& form) : form_(form) {}

  std::string FindText() override { return form_.request_.findText; }
  std::string ReplaceText() override { return form_.request_.replaceText; }
  RunOptions Options() override { return form_.request_.options; }
  bool CaseSensitive() override { return form_.request_.options.caseSensitive; }
  void ProcessPendingEvents() override { form_.app_.ProcessPendingMessages(); }
  void ShowCurrent(int index) override { current_ = index; }
  void FileDone(int done) override {
    done_ = done;
    const ULONGLONG now = form_.app_.Clock()();
    if (now - shown_ < kShowInterval && done != static_cast<int>(form_.request_.files.size())) return;
    shown_ = now;
    SendMessageW(form_.Control(kProgressBar1), PBM_SETPOS, done, 0);
    form_.ShowRows();
    SetText(form_.Control(kLabel1), "Reading file " + std::to_string(done) + " of " +
                                        std::to_string(form_.request_.files.size()) + "...");
  }
  bool StopRequested() override { return form_.stop_; }
  void ReportFailure(const Error& failure) override {
    const std::string reason = failure.ReasonLine();
    failures_.emplace_back(form_.request_.files[current_], reason.empty() ? failure.what() : reason);
  }
  void WouldChange(PreviewRow row) override {
    occurrences_ += row.occurrences;
    form_.rows_.push_back({{row.lineEndsChange ? row.path + kLineEndsChange : row.path,
                            std::to_string(row.occurrences), std::to_string(row.line),
                            std::move(row.before), std::move(row.after)},
                           row.path});
  }

  // The files the run would fail on, each a row after the others, with the
  // reason where the lines would be.
  void AddFailureRows() {
    for (auto& [path, reason] : failures_) {
      form_.rows_.push_back({{path, kWouldFail, "", std::move(reason), ""}, ""});
    }
  }
  std::size_t Occurrences() const { return occurrences_; }
  int Done() const { return done_; }

 private:
  TPF& form_;
  std::vector<std::pair<std::string, std::string>> failures_;  // path and reason
  int current_ = 0;
  std::size_t occurrences_ = 0;
  int done_ = 0;
  ULONGLONG shown_ = 0;
};

TPF::TPF(Application& application, const SettingsStore& settings, RunSession& session, Request request)
    : Window(application), settings_(settings), session_(session), request_(std::move(request)) {
  Commands().On(kButton1, [this] { Button1Click(); });
  Commands().On(kButton2, [this] { Button2Click(); });  // Esc too
  // Enter on the list: no button has the focus.
  Commands().On(IDOK, [this] {
    ListView1Activate(static_cast<int>(
        SendMessageW(Control(kListView1), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
  });
}

bool TPF::Show(Application& application, const SettingsStore& settings, RunSession& session, Request request) {
  TPF form(application, settings, session, std::move(request));
  form.Create();
  form.ShowModal();
  return form.RunAsked();
}

void TPF::Create() {
  CreateAs(WindowClass{"TPF"}, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kReadingCaption, kStyle,
           GetActiveWindow());
  KeepControlHandles(CreateControls(Handle(), kLayout));
  HWND list = Control(kListView1);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  for (int column = 0; column < kColumns; ++column) {
    std::wstring heading = Wide(kHeadings[column].first);
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT | LVCF_FMT;
    header.fmt = column == kOccurrencesColumn || column == kLineColumn ? LVCFMT_RIGHT : LVCFMT_LEFT;
    header.pszText = heading.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
  }
  SendMessageW(Control(kProgressBar1), PBM_SETRANGE32, 0, static_cast<LPARAM>(request_.files.size()));
  LayOutAt(WindowDpi(Handle()));
  CentreOnScreen(Handle());
}

// First at the kept size and column widths; at a change of DPI the window has
// its new size already, and the columns keep their widths at the new scale.
void TPF::LayOut(UINT dpi) {
  Fonts fonts(dpi);
  for (const ControlLayout& control : kLayout) {
    SendMessageW(Control(control.id), WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(control.font)), FALSE);
  }
  fonts_ = std::move(fonts);
  using namespace settingkeys;
  HWND list = Control(kListView1);
  for (int column = 0; column < kColumns; ++column) {
    const int width = laidOutDpi_ == 0
                          ? ScaleToDpi(StoredPixels(settings_, kPreviewColumns[column], kHeadings[column].second), dpi)
                          : MulDiv(static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)), dpi, laidOutDpi_);
    // Never narrower than its heading, at whatever scale.
    const std::wstring heading = Wide(kHeadings[column].first);
    const int headingWidth =
        static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(heading.c_str())));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, column, std::max(width, headingWidth + ScaleToDpi(kHeadingRoom, dpi)));
  }
  if (laidOutDpi_ == 0) {
    SetClientSize(Handle(),
                  {StoredPixels(settings_, kPreviewWidth, kClientSize.cx),
                   StoredPixels(settings_, kPreviewHeight, kClientSize.cy)},
                  dpi);
  }
  laidOutDpi_ = dpi;
  PlaceControls();
}

// The list takes all the room the summary above and the buttons below leave.
void TPF::PlaceControls() {
  RECT client;
  GetClientRect(Handle(), &client);
  const auto scaled = [this](int pixels) { return ScaleToDpi(pixels, Dpi()); };
  const int margin = scaled(kMargin);
  const int buttonTop = client.bottom - margin - scaled(kButton.cy);
  const auto place = [this](int id, int left, int top, int width, int height) {
    SetWindowPos(Control(id), nullptr, left, top, std::max(width, 0), std::max(height, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(kLabel1, margin, margin, client.right - 2 * margin, scaled(kLabelHeight));
  const int listTop = 2 * margin + scaled(kLabelHeight);
  place(kListView1, margin, listTop, client.right - 2 * margin, buttonTop - margin - listTop);
  place(kProgressBar1, margin, buttonTop + (scaled(kButton.cy) - scaled(kProgress.cy)) / 2, scaled(kProgress.cx),
        scaled(kProgress.cy));
  place(kButton2, client.right - margin - scaled(kButton.cx), buttonTop, scaled(kButton.cx), scaled(kButton.cy));
  place(kButton1, client.right - 2 * margin - 2 * scaled(kButton.cx), buttonTop, scaled(kButton.cx),
        scaled(kButton.cy));
}

// A list of thousands of rows, each a message or five, would take Wine
// minutes to fill: the list holds only their count, and asks for a cell's
// text when it draws it.
void TPF::ShowRows() {
  SendMessageW(Control(kListView1), LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void TPF::GiveCellText(NMLVDISPINFOW& request) {
  LVITEMW& item = request.item;
  if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= static_cast<int>(rows_.size()) ||
      item.iSubItem < 0 || item.iSubItem >= kColumns) {
    return;
  }
  cellText_ = Wide(rows_[item.iItem].cells[item.iSubItem]);
  item.pszText = cellText_.data();
}

void TPF::ShowSummary(const RunCounts& counts, std::size_t occurrences, int done) {
  const std::size_t listed = request_.files.size();
  std::string summary = std::to_string(counts.written) + " of " + Counted(listed, "file", "files") +
                        " would change, " + Counted(occurrences, "occurrence", "occurrences") + " in all, " +
                        Counted(counts.failed, "file", "files") + " would fail.";
  if (!counts.binary.empty()) summary += " " + SkippedText(static_cast<int>(counts.binary.size()));
  if (done < static_cast<int>(listed)) {
    summary = "Stopped after " + std::to_string(done) + " of " + std::to_string(listed) + " files. " + summary;
  }
  SetText(Control(kLabel1), summary);
}

void TPF::FormShow() {
  reading_ = true;
  SetText(Control(kButton2), kStop);
  EnableControl(Control(kButton1), false);
  Host host(*this);
  RunCounts counts;
  {
    // Whatever ends the reading, the window is its usual self again.
    struct AfterReading {
      TPF& form;
      ~AfterReading() {
        form.reading_ = false;
        SetText(form.Handle(), kCaption);
        SetText(form.Control(kButton2), kClose);
        EnableControl(form.Control(kButton1), true);
        ShowWindow(form.Control(kProgressBar1), SW_HIDE);
      }
    } afterReading{*this};
    counts = session_.Preview(request_.files, host);
  }
  host.AddFailureRows();
  ShowRows();
  ShowSummary(counts, host.Occurrences(), host.Done());
  FocusControl(Control(kListView1));
  // The first row takes the focus and shows it, so the arrows start there.
  LVITEMW first{};
  first.stateMask = first.state = LVIS_FOCUSED | LVIS_SELECTED;
  if (!rows_.empty()) SendMessageW(Control(kListView1), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
  if (closeAfterReading_) SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TPF::Button1Click() {
  runAsked_ = true;
  SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TPF::Button2Click() {
  if (reading_) {
    stop_ = true;
    return;
  }
  SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TPF::ListView1Activate(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || rows_[row].file.empty()) return;
  app_.OpenInNotepad(rows_[row].file, SW_SHOWNORMAL);
}

// The size and the column widths, as the user left them, for the next preview.
void TPF::KeepPlace() {
  using namespace settingkeys;
  const auto unscaled = [this](int pixels) { return std::to_string(MulDiv(pixels, kBaseDpi, Dpi())); };
  RECT client;
  GetClientRect(Handle(), &client);
  settings_.Write(kPreviewSection, kPreviewWidth, unscaled(client.right));
  settings_.Write(kPreviewSection, kPreviewHeight, unscaled(client.bottom));
  for (int column = 0; column < kColumns; ++column) {
    settings_.Write(kPreviewSection, kPreviewColumns[column],
                    unscaled(static_cast<int>(SendMessageW(Control(kListView1), LVM_GETCOLUMNWIDTH, column, 0))));
  }
}

LRESULT TPF::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SHOWWINDOW:
      // Read once the window is up: the reading keeps it live as it goes.
      if (wParam && lParam == 0 && !reading_) PostMessageW(Handle(), WM_APP, 0, 0);
      break;
    case WM_APP:
      FormShow();
      return 0;
    case WM_SIZE:
      if (laidOutDpi_ != 0) PlaceControls();
      return 0;
    case WM_GETMINMAXINFO: {
      RECT least{0, 0, ScaleToDpi(kLeastSize.cx, Dpi()), ScaleToDpi(kLeastSize.cy, Dpi())};
      AdjustWindowRectEx(&least, kStyle, FALSE, WS_EX_DLGMODALFRAME);
      auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
      limits.ptMinTrackSize = {least.right - least.left, least.bottom - least.top};
      return 0;
    }
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.idFrom == kListView1 && header.code == LVN_ITEMACTIVATE) {
        ListView1Activate(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
        return 0;
      }
      if (header.idFrom == kListView1 && header.code == LVN_GETDISPINFOW) {
        GiveCellText(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        return 0;
      }
      break;
    }
    case WM_CLOSE:
      if (reading_) {  // the reading ends after the file in hand, then the window closes
        stop_ = closeAfterReading_ = true;
        return 0;
      }
      // A size that cannot be kept is reported, but never keeps the window open.
      try {
        KeepPlace();
      } catch (const std::exception& failure) {
        app_.ShowException(failure);
      }
      break;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace varnex
