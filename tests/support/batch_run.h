#pragma once
// A batch run as the user starts it: files in a fresh folder, the list filled,
// the texts typed, "Replace All Now" pressed and the results read.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/main.h"
#include "forms/results.h"
#include "framework/windowtext.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/main_window.h"

namespace varnex::testing {

struct Results {
  bool shown = false;
  int current = -1;  // the list's current entry while the results are up
  int progress = -1;  // the progress bar's position then
  std::string progressText;
  bool progressUp = false;
  std::string button;  // the run button's caption then
  std::string finished;  // what the results say became of the run
  std::string searched;
  std::string replaced;
};

class BatchRun : public MainWindowTest {
 protected:
  void SetUp() override { Start(); }

  std::string File(const std::string& name, std::string_view bytes) {
    const std::string path = folder / name;
    WriteFileBytes(path, bytes);
    return path;
  }
  void List(const std::vector<std::string>& paths) {
    form.Files().Clear();
    for (const std::string& path : paths) form.Files().Append(path);
    EnableWindow(form.Control(TMF::kButton), TRUE);
  }
  void Texts(const std::string& find, const std::string& replace) {
    SetText(form.Control(TMF::kEdit2), find);
    SetText(form.Control(TMF::kEdit3), replace);
  }
  // Presses "Replace All Now", answers the confirmation and reads the results.
  Results Run(int answer = IDYES) {
    services.messageBoxes.answers.push_front(answer);
    Results results;
    const WhenShown closer("Results...", [&](HWND dialog) {
      results.shown = true;
      results.current = form.Files().Current();
      HWND bar = form.Control(TMF::kProgressBar1);
      results.progress = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
      results.progressText = WindowText(form.Control(TMF::kLabel5));
      results.progressUp = (GetWindowLongPtrW(bar, GWL_STYLE) & WS_VISIBLE) != 0;
      results.button = WindowText(form.Control(TMF::kButton));
      results.finished = WindowText(GetDlgItem(dialog, TRF::kLabel5));
      results.searched = WindowText(GetDlgItem(dialog, TRF::kLabel3));
      results.replaced = WindowText(GetDlgItem(dialog, TRF::kLabel4));
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(TRF::kButton2, BN_CLICKED), 0);
    });
    form.ButtonClick();
    return results;
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (std::size_t i = 1; i < services.messageBoxes.shown.size(); ++i) {
      texts.push_back(services.messageBoxes.shown[i].text);
    }
    return texts;
  }
  static FILETIME Written(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
  }
  std::vector<std::string> FolderContents() { return testing::NamesIn(folder.Path()); }
};

// What another program does while a run goes on: acts once, when the program
// first lets its messages through after now.
class AtFirstLook {
 public:
  explicit AtFirstLook(std::function<void()> act)
      : act_(std::move(act)),
        window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AtFirstLook::Procedure)));
    PostMessageW(window_, WM_APP, 0, 0);
  }
  ~AtFirstLook() { DestroyWindow(window_); }
  AtFirstLook(const AtFirstLook&) = delete;
  AtFirstLook& operator=(const AtFirstLook&) = delete;

  bool Acted() const { return acted_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<AtFirstLook*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_APP) {
      self->acted_ = true;
      self->act_();
      return 0;
    }
    return CallWindowProcW(self->previous_, window, message, wParam, lParam);
  }

  std::function<void()> act_;
  HWND window_;
  WNDPROC previous_ = nullptr;
  bool acted_ = false;
};

}  // namespace varnex::testing
