#include "gui/DSPVSTEditorWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>
#include <vector>

namespace tesmora6 {

namespace {

uint32_t Modifiers(unsigned state) {
  return ((state & ShiftMask) ? kShiftKey : 0) | ((state & ControlMask) ? kControlKey : 0);
}

}  // namespace

struct TDSPVSTEditorWnd::TPopup {
  TSPPopupMenu* menu = nullptr;
  Window window = 0;
  cairo_surface_t* surface = nullptr;
  TSPPopupLayout layout;
  int32_t hover = -1;
};

int32_t TDSPVSTEditorWnd::PixelWidth() const { return static_cast<int32_t>(std::ceil(width_ * scale_)); }
int32_t TDSPVSTEditorWnd::PixelHeight() const { return static_cast<int32_t>(std::ceil(height_ * scale_)); }
int32_t TDSPVSTEditorWnd::ToUnits(int v) const { return static_cast<int32_t>(std::floor(v / scale_)); }

TDSPVSTEditorWnd::TDSPVSTEditorWnd(unsigned long parent, int32_t width, int32_t height, double scale)
    : parent_(parent), width_(width), height_(height), scale_(scale > 0.0 ? scale : 1.0) {
  if (parent == 0) return;
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  // A stale parent id must not end the host's process either.
  RegisterXConnection(display_, this);
  TXErrorScope scope;
  XWindowAttributes parentAttributes;
  const bool parentExists = XGetWindowAttributes(display_, parent, &parentAttributes) != 0;
  XSync(display_, False);
  if (parentExists && errors_ == 0) {
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display_, DefaultScreen(display_));
    attributes.event_mask =
        ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | StructureNotifyMask | KeyPressMask;
    const Window w =
        XCreateWindow(display_, parent, 0, 0, static_cast<unsigned>(PixelWidth()), static_cast<unsigned>(PixelHeight()),
                      0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    // The parent's destruction reaches this connection too (our own event mask on the
    // host's window; the host's mask is its own and stays as it is).
    XSelectInput(display_, parent, StructureNotifyMask);
    XSync(display_, False);
    if (errors_ == 0) window_ = w;
  }
  if (!window_) {
    XCloseDisplay(display_);
    UnregisterXConnection(display_);
    display_ = nullptr;
    return;
  }
  XStoreName(display_, window_, "Tesmora6");
  // The invisible pointer of a drag: a cursor made of an empty 1 x 1 bitmap.
  static char empty[1] = {0};
  const Pixmap blank = XCreateBitmapFromData(display_, window_, empty, 1, 1);
  XColor black{};
  invisibleCursor_ = XCreatePixmapCursor(display_, blank, blank, &black, &black, 0, 0);
  XFreePixmap(display_, blank);
  const int screen = DefaultScreen(display_);
  surface_ = cairo_xlib_surface_create(display_, window_, DefaultVisual(display_, screen), PixelWidth(), PixelHeight());
  cairo_surface_set_device_scale(surface_, scale_, scale_);
}

void TDSPVSTEditorWnd::SetScale(double scale) {
  if (!(scale > 0.0) || scale == scale_) return;
  scale_ = scale;
  if (!display_ || !window_ || gone_) return;
  TXErrorScope scope;
  // A popup list belongs to the old size (and holds the pointer): it goes.
  ClosePopup();
  XResizeWindow(display_, window_, static_cast<unsigned>(PixelWidth()), static_cast<unsigned>(PixelHeight()));
  if (surface_) {
    cairo_xlib_surface_set_size(surface_, PixelWidth(), PixelHeight());
    cairo_surface_set_device_scale(surface_, scale_, scale_);
  }
  XFlush(display_);
}

TDSPVSTEditorWnd::~TDSPVSTEditorWnd() {
  panel.destroying = true;
  if (!display_) {
    Detach();
    return;
  }
  {
    TXErrorScope scope;
    ClosePopup();
    Detach();
    if (surface_) cairo_surface_destroy(surface_);
    if (invisibleCursor_) XFreeCursor(display_, invisibleCursor_);
    // A window the host already destroyed is not destroyed again (its id may even belong
    // to another window by now).
    if (window_ && !gone_) XDestroyWindow(display_, window_);
    XSync(display_, False);
    XCloseDisplay(display_);
  }
  UnregisterXConnection(display_);
}

void TDSPVSTEditorWnd::XError(const TXErrorReport& report) {
  ++errors_;
  // Our window or its parent no longer exists: the host has destroyed it.
  const bool missing = report.errorCode == BadWindow || report.errorCode == BadDrawable;
  if (window_ && missing && (report.resource == window_ || report.resource == parent_)) gone_ = true;
}

bool TDSPVSTEditorWnd::StillThere() {
  if (!display_ || !window_ || gone_) return false;
  TXErrorScope scope;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, window_, &attributes)) gone_ = true;
  if (gone_) WindowGone();
  return !gone_;
}

void TDSPVSTEditorWnd::WindowGone() {
  gone_ = true;
  if (goneHandled_) return;
  goneHandled_ = true;
  TXErrorScope scope;
  // A popup list holds the pointer and the keyboard: let go of them.
  ClosePopup();
  // A drag or a press in progress never gets its release now.
  panel.ReleaseCapture();
  pointerHidden_ = false;
  if (surface_) {
    cairo_surface_finish(surface_);
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
  }
  XFlush(display_);
}

void TDSPVSTEditorWnd::Attach(TDSPPluginX* plugin, TSPThemeGUIBody* body) {
  panel.plugin = plugin;
  panel.body = body;
  if (body) {
    body->site = this;
    body->shown = true;
    body->dirty = true;
  }
  attached = true;
}

void TDSPVSTEditorWnd::Detach() {
  if (panel.body && panel.body->site == this) {
    panel.body->site = nullptr;
    panel.body->shown = false;
  }
  panel.body = nullptr;
  attached = false;
}

void TDSPVSTEditorWnd::ScreenSize(int32_t& width, int32_t& height) const {
  width = height = 0;
  if (!display_) return;
  const int screen = DefaultScreen(display_);
  width = DisplayWidth(display_, screen);
  height = DisplayHeight(display_, screen);
}

void TDSPVSTEditorWnd::Show() {
  if (!Valid() || gone_) return;
  TXErrorScope scope;
  // The server fills a window that appears with its background before the first expose
  // reaches us: the editor's own picture, so that it never shows a black frame first.
  if (!mapped_ && panel.body) {
    std::lock_guard<std::recursive_mutex> lock(GUILock());
    panel.body->RebuildIfDirty();
    const TSPBitmap& picture = panel.body->composite;
    if (!picture.Empty()) {
      const int screen = DefaultScreen(display_);
      const Pixmap pixmap =
          XCreatePixmap(display_, window_, static_cast<unsigned>(PixelWidth()), static_cast<unsigned>(PixelHeight()),
                        static_cast<unsigned>(DefaultDepth(display_, screen)));
      cairo_surface_t* target =
          cairo_xlib_surface_create(display_, pixmap, DefaultVisual(display_, screen), PixelWidth(), PixelHeight());
      cairo_surface_set_device_scale(target, scale_, scale_);
      cairo_t* cr = cairo_create(target);
      cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
      cairo_set_source_surface(cr, picture.Surface(), 0, 0);
      cairo_paint(cr);
      cairo_destroy(cr);
      cairo_surface_finish(target);
      cairo_surface_destroy(target);
      XSetWindowBackgroundPixmap(display_, window_, pixmap);
      XFreePixmap(display_, pixmap);  // the window holds it until its background changes
      pictureBackground_ = true;
    }
  }
  mapped_ = true;
  XMapRaised(display_, window_);
  XSync(display_, False);
}

int32_t TDSPVSTEditorWnd::Idle() {
  if (!display_) return 0;
  TXErrorScope scope;
  int32_t handled = 0;
  TSPRect exposed;
  while (XPending(display_) > 0) {
    XEvent e;
    XNextEvent(display_, &e);
    ++handled;
    if (e.type == DestroyNotify && (e.xdestroywindow.window == window_ || e.xdestroywindow.window == parent_)) {
      gone_ = true;
    }
    if (gone_) {
      // Nothing is left to draw on or to take the pointer from; the rest is stale.
      WindowGone();
      continue;
    }
    if (popup_ && HandlePopupEvent(&e)) continue;
    if (e.xany.window != window_) continue;
    switch (e.type) {
      case Expose: {
        // The units that cover the exposed pixels.
        const TSPRect units{ToUnits(e.xexpose.x), ToUnits(e.xexpose.y),
                            static_cast<int32_t>(std::ceil((e.xexpose.x + e.xexpose.width) / scale_)),
                            static_cast<int32_t>(std::ceil((e.xexpose.y + e.xexpose.height) / scale_))};
        exposed = exposed.United(units);
        break;
      }
      case ButtonPress: {
        const int b = e.xbutton.button;
        if (b == Button4 || b == Button5) {
          panel.Wheel(b == Button4 ? 1 : -1, Modifiers(e.xbutton.state), ToUnits(e.xbutton.x), ToUnits(e.xbutton.y));
          break;
        }
        if (b > 3) break;  // the horizontal wheel
        const int32_t button = b == Button1 ? kMouseLeft : b == Button3 ? kMouseRight : kMouseMiddle;
        panel.MouseDown(button, Modifiers(e.xbutton.state), ToUnits(e.xbutton.x), ToUnits(e.xbutton.y));
        break;
      }
      case MotionNotify:
        panel.MouseMove(Modifiers(e.xmotion.state), ToUnits(e.xmotion.x), ToUnits(e.xmotion.y));
        break;
      case KeyPress: {
        char text[16] = {};
        KeySym key = NoSymbol;
        const int n = XLookupString(&e.xkey, text, sizeof text - 1, &key, nullptr);
        panel.KeyDown(static_cast<uint32_t>(key), std::string(text, static_cast<size_t>(std::max(0, n))));
        break;
      }
      case ButtonRelease: {
        const int b = e.xbutton.button;
        if (b > 3) break;
        const int32_t button = b == Button1 ? kMouseLeft : b == Button3 ? kMouseRight : kMouseMiddle;
        panel.MouseUp(button, Modifiers(e.xbutton.state), ToUnits(e.xbutton.x), ToUnits(e.xbutton.y));
        break;
      }
      default:
        break;
    }
  }
  // An error naming the window (a request made before its destruction reached us).
  if (gone_) WindowGone();
  if (!exposed.Empty() && !gone_) {
    panel.Paint(exposed);
    // From now on the editor paints every expose itself: the server need not keep the
    // first picture (nor fill with it, out of date, before a repaint).
    if (pictureBackground_) {
      XSetWindowBackgroundPixmap(display_, window_, None);
      pictureBackground_ = false;
    }
  }
  if (panel.body && !gone_) panel.body->EndQuietWheelGesture();
  XFlush(display_);
  return handled;
}

void TDSPVSTEditorWnd::RequestRepaint() { panel.Paint({0, 0, width_, height_}); }

void TDSPVSTEditorWnd::CopyToWindow(const TSPBitmap& composite, const TSPRect& r) {
  if (!surface_ || gone_ || composite.Empty() || r.Empty()) return;
  TXErrorScope scope;
  cairo_t* cr = cairo_create(surface_);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, composite.Surface(), 0, 0);
  double left, top, right, bottom;
  PixelAlignedRect(r, scale_, left, top, right, bottom);
  cairo_rectangle(cr, left, top, right - left, bottom - top);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface_);
  XFlush(display_);
}

void TDSPVSTEditorWnd::PointerScreenPosition(int32_t& x, int32_t& y) {
  if (!display_) return;
  TXErrorScope scope;
  Window root, child;
  int rx, ry, wx, wy;
  unsigned mask;
  if (XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rx, &ry, &wx, &wy, &mask)) {
    x = rx;
    y = ry;
  }
}

void TDSPVSTEditorWnd::EditorToScreen(int32_t& x, int32_t& y) {
  if (!display_ || gone_) return;
  TXErrorScope scope;
  Window child;
  const int px = static_cast<int>(std::lround(x * scale_)), py = static_cast<int>(std::lround(y * scale_));
  int sx = px, sy = py;
  XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), px, py, &sx, &sy, &child);
  x = sx;
  y = sy;
}

void TDSPVSTEditorWnd::FocusKeyboard(bool take) {
  if (!display_ || gone_ || take == focused_) return;
  TXErrorScope scope;
  if (take) {
    Window before = 0;
    int revert = 0;
    XGetInputFocus(display_, &before, &revert);
    focusBefore_ = before;
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  } else {
    // Back where it was, unless the user has put it elsewhere meanwhile.
    Window now = 0;
    int revert = 0;
    XGetInputFocus(display_, &now, &revert);
    if (now == window_ && focusBefore_ != 0) XSetInputFocus(display_, focusBefore_, RevertToParent, CurrentTime);
  }
  focused_ = take;
  XFlush(display_);
}

void TDSPVSTEditorWnd::HidePointer() {
  if (!display_ || gone_ || pointerHidden_) return;
  TXErrorScope scope;
  XDefineCursor(display_, window_, invisibleCursor_);
  pointerHidden_ = true;
  XFlush(display_);
}

void TDSPVSTEditorWnd::ShowPointer() {
  if (!display_ || gone_ || !pointerHidden_) return;
  TXErrorScope scope;
  XUndefineCursor(display_, window_);
  pointerHidden_ = false;
  XFlush(display_);
}

void TDSPVSTEditorWnd::WarpPointer(int32_t screenX, int32_t screenY) {
  if (!display_ || gone_) return;
  TXErrorScope scope;
  XWarpPointer(display_, 0, DefaultRootWindow(display_), 0, 0, 0, 0, screenX, screenY);
  XFlush(display_);
}

// ---------------------------------------------------------------- popup lists

void TDSPVSTEditorWnd::OpenPopupMenu(TSPPopupMenu& menu, int32_t screenX, int32_t screenY) {
  if (!display_ || gone_) return;
  TXErrorScope scope;
  ClosePopup();
  auto popup = std::make_unique<TPopup>();
  popup->menu = &menu;
  popup->layout = LayoutPopupMenu(menu);
  // The keys start from the checked item (or the first that can be chosen).
  for (size_t i = 0; i < menu.items.size(); ++i) {
    if (menu.items[i].checked && menu.Selectable(static_cast<int32_t>(i))) popup->hover = static_cast<int32_t>(i);
  }
  // The list is drawn at the editor's factor.
  const auto pixels = [this](int32_t units) { return static_cast<int32_t>(std::ceil(units * scale_)); };
  const int32_t popupWidth = pixels(popup->layout.width), popupHeight = pixels(popup->layout.height);
  const int screen = DefaultScreen(display_);
  const int32_t sw = DisplayWidth(display_, screen), sh = DisplayHeight(display_, screen);
  const int32_t x = std::clamp(screenX, 0, std::max(0, sw - popupWidth));
  const int32_t y = std::clamp(screenY, 0, std::max(0, sh - popupHeight));
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = BlackPixel(display_, screen);
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
  popup->window = XCreateWindow(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(popupWidth),
                                static_cast<unsigned>(popupHeight), 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
  popup->surface =
      cairo_xlib_surface_create(display_, popup->window, DefaultVisual(display_, screen), popupWidth, popupHeight);
  cairo_surface_set_device_scale(popup->surface, scale_, scale_);
  XMapRaised(display_, popup->window);
  XSync(display_, False);
  // A press anywhere else closes the list: take the pointer and the keyboard.
  XGrabPointer(display_, popup->window, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
               GrabModeAsync, None, None, CurrentTime);
  XGrabKeyboard(display_, popup->window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
  popup_ = std::move(popup);
  PaintPopup();
}

void TDSPVSTEditorWnd::ClosePopup() {
  if (!popup_) return;
  if (display_) {
    TXErrorScope scope;
    XUngrabPointer(display_, CurrentTime);
    XUngrabKeyboard(display_, CurrentTime);
    if (popup_->surface) cairo_surface_destroy(popup_->surface);
    XDestroyWindow(display_, popup_->window);
    XFlush(display_);
  }
  popup_.reset();
}

void TDSPVSTEditorWnd::PaintPopup() {
  if (!popup_) return;
  TXErrorScope scope;
  TPopup& p = *popup_;
  TSPBitmap image;
  image.Resize(p.layout.width, p.layout.height, scale_);
  {
    TSPCanvas canvas(image);
    PaintPopupMenu(canvas, *p.menu, p.layout, p.hover);
  }
  cairo_t* cr = cairo_create(p.surface);
  cairo_set_source_surface(cr, image.Surface(), 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(p.surface);
  XFlush(display_);
}

bool TDSPVSTEditorWnd::HandlePopupEvent(void* event) {
  auto& e = *static_cast<XEvent*>(event);
  TPopup& p = *popup_;
  auto itemAt = [this, &p](int x, int y) {
    const int32_t i = p.layout.ItemAt(ToUnits(x), ToUnits(y));
    return p.menu->Selectable(i) ? i : -1;
  };
  auto choose = [this, &p](int32_t item) {
    TSPPopupMenu* menu = p.menu;
    ClosePopup();
    if (item >= 0) menu->Choose(menu->items[static_cast<size_t>(item)].tag);
  };
  switch (e.type) {
    case Expose:
      if (e.xexpose.window != p.window) return false;
      PaintPopup();
      return true;
    case MotionNotify: {
      if (e.xmotion.window != p.window) return true;
      const int32_t hover = itemAt(e.xmotion.x, e.xmotion.y);
      if (hover != p.hover) {
        p.hover = hover;
        PaintPopup();
      }
      return true;
    }
    case ButtonPress: {
      if (e.xbutton.button == Button4 || e.xbutton.button == Button5) {
        // The wheel walks the list as the arrow keys do; it never chooses.
        const int32_t next = p.menu->NextSelectable(p.hover, e.xbutton.button == Button4 ? -1 : 1);
        if (next != p.hover) {
          p.hover = next;
          PaintPopup();
        }
        return true;
      }
      if (e.xbutton.button > 3) return true;
      const bool inside = e.xbutton.window == p.window;
      const int32_t item = inside ? itemAt(e.xbutton.x, e.xbutton.y) : -1;
      if (inside && item < 0) return true;  // between items or on a separator: keep the list open
      choose(item);
      return true;
    }
    case ButtonRelease:
      return true;
    case KeyPress: {
      const KeySym key = XLookupKeysym(&e.xkey, 0);
      int32_t move = 0;
      switch (key) {
        case XK_Escape:
          ClosePopup();
          return true;
        case XK_Return:
        case XK_KP_Enter:
        case XK_space:
          if (p.menu->Selectable(p.hover)) choose(p.hover);
          return true;
        case XK_Down:
        case XK_KP_Down:
          move = 1;
          break;
        case XK_Up:
        case XK_KP_Up:
          move = -1;
          break;
        // Sideways: to the next column, a column's rows on.
        case XK_Right:
        case XK_KP_Right:
          move = p.layout.rows;
          break;
        case XK_Left:
        case XK_KP_Left:
          move = -p.layout.rows;
          break;
        default:
          return true;
      }
      const int32_t next = p.hover < 0 && move < 0
                               ? p.menu->NextSelectable(-1, -1)
                               : p.menu->NextSelectable(p.hover, p.hover < 0 && move > 0 ? 1 : move);
      if (next != p.hover) {
        p.hover = next;
        PaintPopup();
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace tesmora6
