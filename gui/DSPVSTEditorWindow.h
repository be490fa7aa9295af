// The editor window on X11: a child of the window the host passes to the open opcode, on a
// display connection of its own. No thread of its own: the host's idle call handles every
// pending event (exposes, pointer presses, motion and releases, the popup list's keys).
// Popup lists are override-redirect windows that grab the pointer and keyboard until an
// item is chosen, Escape is pressed or the pointer is pressed outside them.
//
// The host may destroy its window (and with it this one) before it closes the editor. The
// window watches for that (the destruction of its parent and of itself, or an error naming
// either), and from then on draws nothing, grabs nothing and never destroys the window
// that is gone; every call on the display runs inside a TXErrorScope (gui/XErrorTrap.h),
// so an error of this connection never reaches the host's handler or Xlib's default one.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/DSPEditorPanel.h"
#include "gui/SPThemeGUI.h"
#include "gui/XErrorTrap.h"

struct _XDisplay;
typedef struct _cairo_surface cairo_surface_t;

namespace tesmora6 {

class TDSPVSTEditorWnd : public TSPWindowSite, private TXErrorSink {
 public:
  // Connects to the display (DISPLAY) and creates the window inside parent, width x height
  // editor units at `scale` pixels per unit; Valid() is false when there is no display or
  // the parent window does not exist.
  TDSPVSTEditorWnd(unsigned long parent, int32_t width, int32_t height, double scale = 1.0);
  ~TDSPVSTEditorWnd() override;
  TDSPVSTEditorWnd(const TDSPVSTEditorWnd&) = delete;
  TDSPVSTEditorWnd& operator=(const TDSPVSTEditorWnd&) = delete;

  bool Valid() const { return window_ != 0; }
  // The host destroyed the window (its parent or this one) before closing the editor.
  bool Gone() const { return gone_; }
  // Asks the server whether the window still exists (one round trip).
  bool StillThere();
  unsigned long WindowId() const { return window_; }
  // The host's window the editor sits in; the size of its screen.
  unsigned long ParentId() const { return parent_; }
  void ScreenSize(int32_t& width, int32_t& height) const;
  // Pixels per editor unit; a new factor resizes the window (the body is rebuilt at it by
  // whoever set the body's factor).
  double Scale() const { return scale_; }
  void SetScale(double scale);
  // The window's size in pixels.
  int32_t PixelWidth() const;
  int32_t PixelHeight() const;
  bool attached = false;
  TDSPEditorPanel panel;

  // Shows the body in this window (its shown flag and window site).
  void Attach(TDSPPluginX* plugin, TSPThemeGUIBody* body);
  void Detach();
  void Show();
  // Handles every event waiting now; returns how many.
  int32_t Idle();
  bool PopupOpen() const { return popup_ != nullptr; }

  // ---- TSPWindowSite ----
  bool HasWindow() const override { return Valid() && !gone_ && !panel.destroying; }
  void RequestRepaint() override;
  void CopyToWindow(const TSPBitmap& composite, const TSPRect& r) override;
  void PointerScreenPosition(int32_t& x, int32_t& y) override;
  void EditorToScreen(int32_t& x, int32_t& y) override;
  void HidePointer() override;
  void ShowPointer() override;
  void WarpPointer(int32_t screenX, int32_t screenY) override;
  void OpenPopupMenu(TSPPopupMenu& menu, int32_t screenX, int32_t screenY) override;
  void FocusKeyboard(bool take) override;

 private:
  struct TPopup;
  void ClosePopup();
  void PaintPopup();
  bool HandlePopupEvent(void* event);
  // After the window went: no popup, no capture, nothing more to draw.
  void WindowGone();
  void XError(const TXErrorReport& report) override;

  _XDisplay* display_ = nullptr;
  unsigned long parent_ = 0;
  unsigned long window_ = 0;
  bool gone_ = false;         // the window no longer exists
  bool goneHandled_ = false;  // WindowGone ran
  int32_t errors_ = 0;        // errors of this connection so far
  unsigned long invisibleCursor_ = 0;
  cairo_surface_t* surface_ = nullptr;
  int32_t width_ = 0, height_ = 0;  // editor units
  double scale_ = 1.0;
  // A window's pixel to an editor unit.
  int32_t ToUnits(int v) const;
  bool pointerHidden_ = false;
  unsigned long focusBefore_ = 0;  // where the keyboard's focus was before a text field took it
  bool focused_ = false;
  bool mapped_ = false;             // shown at least once
  bool pictureBackground_ = false;  // the background is the first picture still
  std::unique_ptr<TPopup> popup_;
};

}  // namespace tesmora6
