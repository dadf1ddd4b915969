#pragma once
// WM_COMMAND answered from a table: a menu item's, accelerator's or control's
// id, with the notification code where it matters, to the handler it calls.
// Every window routes its commands this way instead of a switch of its own.

#include <windows.h>

#include <functional>
#include <vector>

namespace varnex {

class CommandRoutes {
 public:
  using Handler = std::function<void()>;

  // `id` with any notification: a menu item, an accelerator, Esc (IDCANCEL).
  void On(int id, Handler handler) { routes_.push_back({id, kAnyCode, std::move(handler)}); }
  // `id` with the notification `code` only (BN_CLICKED, EN_CHANGE, LBN_DBLCLK...).
  void On(int id, WORD code, Handler handler) { routes_.push_back({id, code, std::move(handler)}); }
  // A button's click: BN_CLICKED, which menus and accelerators never send
  // with a button's id.
  void OnClick(int id, Handler handler) { On(id, BN_CLICKED, std::move(handler)); }

  // Calls the handler of WM_COMMAND's `wParam`; false where none is routed.
  bool Dispatch(WPARAM wParam) const {
    for (const Route& route : routes_) {
      if (route.id == LOWORD(wParam) && (route.code == kAnyCode || route.code == HIWORD(wParam))) {
        route.handler();
        return true;
      }
    }
    return false;
  }

 private:
  static constexpr int kAnyCode = -1;
  struct Route {
    int id;
    int code;
    Handler handler;
  };
  std::vector<Route> routes_;
};

}  // namespace varnex
