#include "framework/taskbarprogress.h"

namespace varnex {

TaskbarProgress::TaskbarProgress(HWND window) : window_(window) {
  comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  void* list = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &list))) {
    list_ = static_cast<ITaskbarList3*>(list);
    if (FAILED(list_->HrInit())) {
      list_->Release();
      list_ = nullptr;
    }
  }
}

TaskbarProgress::~TaskbarProgress() {
  if (list_ != nullptr) {
    list_->SetProgressState(window_, TBPF_NOPROGRESS);
    list_->Release();
  }
  if (comStarted_) CoUninitialize();
}

void TaskbarProgress::Set(ULONGLONG done, ULONGLONG total) {
  if (list_ != nullptr) list_->SetProgressValue(window_, done, total);
}

}  // namespace varnex
