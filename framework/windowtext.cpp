#include "framework/windowtext.h"

#include "framework/unicode.h"

namespace varnex {

std::string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

void SetText(HWND window, std::string_view text) { SetWindowTextW(window, Wide(text).c_str()); }

std::optional<std::string> ListBoxText(HWND list, int index) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  if (copied == LB_ERR) return std::nullopt;
  text.resize(static_cast<std::size_t>(copied));
  return Utf8(text);
}

LRESULT AddListBoxText(HWND list, std::string_view text) {
  return SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

int FindListBoxPrefix(HWND list, std::string_view prefix) {
  const LRESULT found =
      SendMessageW(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Wide(prefix).c_str()));
  return found == LB_ERR ? -1 : static_cast<int>(found);
}

bool TakesAccessKey(HWND window, wchar_t key) {
  const auto upper = [](wchar_t character) {
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<wchar_t*>(character))));
  };
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
    const std::wstring caption = Wide(WindowText(child));
    for (std::size_t at = 0; at + 1 < caption.size(); ++at) {
      if (caption[at] != L'&') continue;
      if (caption[at + 1] != L'&' && upper(caption[at + 1]) == upper(key)) return true;
      ++at;  // "&&" is an ampersand shown, and "&x" has had its look
    }
  }
  return false;
}

void DrawTextLine(HDC dc, std::string_view text, RECT& area, UINT flags) {
  const std::wstring wide = Wide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &area, flags | DT_SINGLELINE);
}

}  // namespace varnex
