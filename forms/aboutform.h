#pragma once
// TAbout, the About box: the program's icon, name and version, its maker, two
// links (web page and support e-mail) that light up under the pointer, and
// the licence's line, which opens it; Tab reaches all three.

#include <windows.h>

#include <commctrl.h>

#include <span>
#include <string>

#include "framework/fonts.h"
#include "framework/hints.h"
#include "framework/handle.h"
#include "framework/layout.h"
#include "framework/window.h"

namespace varnex {

// What moving the pointer over a control does to the two links.
enum class MouseMove { kNone, kPlainLinks, kWebLinkLit, kMailLinkLit };

struct LinkLooks {
  bool webLit = false;  // red and underlined; otherwise blue, not underlined
  bool mailLit = false;
  bool operator==(const LinkLooks&) const = default;
};

// The links' looks after a mouse move with the given behaviour.
LinkLooks LooksAfter(LinkLooks current, MouseMove behaviour);

class TAbout : public Window<TAbout> {
 public:
  // Bevel1 comes after Image1 so that the picture lies on top of its frame.
  enum ControlId {
    kImage1 = 101,
    kBevel1,
    kLabel1,
    kLabel2,
    kLabel3,
    kLabel4,
    kLabel5,
    kLabel6,
    kLabel7,
    kLabel8,
    kBitBtn1 = IDOK,
  };

  static constexpr char kWebPage[] = "http://www.varnex.test/";
  static constexpr char kMailAddress[] = "support@varnex.test";

  explicit TAbout(Application& application);

  // Shows a fresh About box and returns when it has closed.
  static void Show(Application& application);

  // Creates the box, centred and not yet visible.
  void Create();
  // The box's controls in 96-DPI pixels.
  static std::span<const ControlLayout> LayoutTable();

  // The mouse-move behaviour of a control; 0 stands for the box's background.
  static MouseMove MouseMoveOf(int controlId);

  HWND Hints() const { return hints_.Handle(); }

  void FormCreate();
  void FormMouseMove();
  void Label5MouseMove();
  void Label7MouseMove();
  void Label5Click();
  void Label7Click();
  // "See license.txt for distribution" opens the licence in the text editor.
  void Label8Click();
  void BitBtn1Click();

 private:
  friend class Window<TAbout>;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Controls that take the mouse themselves report its moves through this.
  static LRESULT CALLBACK ReportMouseMove(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self);
  void MouseMoveOver(int controlId);
  void LayOut(UINT dpi);
  void SetLooks(LinkLooks looks);
  void ShowLooks();
  void OpenLink(const std::string& file);

  Fonts fonts_;
  ImageListHandle okPicture_;
  varnex::Hints hints_;  // owned by the box, so it goes with it
  LinkLooks looks_;
};

}  // namespace varnex
