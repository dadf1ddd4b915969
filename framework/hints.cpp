#include "framework/hints.h"

#include <commctrl.h>

#include "framework/unicode.h"

namespace varnex {
namespace {

TOOLINFOW Tool(HWND owner, HWND control, std::wstring& text) {
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text.data();  // copied by the tooltip
  return tool;
}

}  // namespace

bool Hints::Create(HWND owner, HINSTANCE instance, UINT hidePause) {
  owner_ = owner;
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance,
                             nullptr);
  if (tooltip_ == nullptr) return false;
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, static_cast<LPARAM>(hidePause));
  return true;
}

void Hints::Add(HWND control, const std::string& text, bool subclassed) const {
  std::wstring wide = Wide(text);
  TOOLINFOW tool = Tool(owner_, control, wide);
  if (subclassed) tool.uFlags |= TTF_SUBCLASS;
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Hints::SetText(HWND control, const std::string& text) const {
  std::wstring wide = Wide(text);
  TOOLINFOW tool = Tool(owner_, control, wide);
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Hints::Relay(const MSG& mouse) const {
  SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&mouse));
}

}  // namespace varnex
