#include "standalone/ProgramWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>

#include "instrument/Tesmora6Engine.h"

namespace tesmora6 {

namespace {

// The strip: "<" and ">" buttons on the left, the program's number and name beside them.
constexpr int32_t kButtonWidth = 32;
constexpr int32_t kTextLeft = 2 * kButtonWidth + 12;

}  // namespace

TProgramWindow::TProgramWindow(TTesmora6Engine& engine) : engine_(engine) {}

TProgramWindow::~TProgramWindow() { Close(); }

bool TProgramWindow::Open(const std::string& title, int32_t editorWidth, int32_t editorHeight, std::string& why) {
  display_ = XOpenDisplay(nullptr);
  if (!display_) {
    why = "no X display";
    return false;
  }
  RegisterXConnection(display_, this);
  TXErrorScope scope;
  width_ = std::max(editorWidth, 320);
  editorHeight_ = std::max(editorHeight, 1);
  const int screen = DefaultScreen(display_);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display_, screen);
  attributes.event_mask = ExposureMask | ButtonPressMask | KeyPressMask | StructureNotifyMask;
  window_ = XCreateWindow(display_, RootWindow(display_, screen), 0, 0, static_cast<unsigned>(width_),
                          static_cast<unsigned>(kStripHeight + editorHeight_), 0, CopyFromParent, InputOutput,
                          CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  holder_ = XCreateSimpleWindow(display_, window_, 0, kStripHeight, static_cast<unsigned>(editorWidth),
                                static_cast<unsigned>(editorHeight_), 0, 0, BlackPixel(display_, screen));
  XStoreName(display_, window_, title.c_str());
  XClassHint* hint = XAllocClassHint();
  if (hint) {
    char name[] = "tesmora6", className[] = "Tesmora6";
    hint->res_name = name;
    hint->res_class = className;
    XSetClassHint(display_, window_, hint);
    XFree(hint);
  }
  deleteAtom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  Atom protocols[] = {deleteAtom_};
  XSetWMProtocols(display_, window_, protocols, 1);
  FixSize();
  // Page Up and Page Down reach the strip wherever the pointer is in the window (the editor
  // takes key presses over its own part).
  for (const KeySym key : {XK_Page_Up, XK_Page_Down}) {
    XGrabKey(display_, XKeysymToKeycode(display_, key), AnyModifier, window_, False, GrabModeAsync, GrabModeAsync);
  }
  surface_ = cairo_xlib_surface_create(display_, window_, DefaultVisual(display_, screen), width_, kStripHeight);
  XMapWindow(display_, holder_);
  XMapWindow(display_, window_);
  XSync(display_, False);
  return true;
}

void TProgramWindow::FixSize() {
  XSizeHints hints{};
  hints.flags = PMinSize | PMaxSize;
  hints.min_width = hints.max_width = width_;
  hints.min_height = hints.max_height = kStripHeight + editorHeight_;
  XSetWMNormalHints(display_, window_, &hints);
}

bool TProgramWindow::ResizeEditor(int32_t width, int32_t height) {
  if (!display_ || destroyed_ || width <= 0 || height <= 0) return false;
  TXErrorScope scope;
  width_ = std::max(width, 320);
  editorHeight_ = height;
  FixSize();
  XResizeWindow(display_, holder_, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XResizeWindow(display_, window_, static_cast<unsigned>(width_), static_cast<unsigned>(kStripHeight + height));
  cairo_xlib_surface_set_size(surface_, width_, kStripHeight);
  shownProgram_ = -1;
  XFlush(display_);
  return true;
}

void TProgramWindow::Step(int32_t by) {
  const int32_t count = engine_.ProgramCount();
  if (count <= 0) return;
  engine_.SelectProgram(((engine_.CurrentProgram() + by) % count + count) % count);
}

bool TProgramWindow::Idle() {
  if (!display_) return false;
  TXErrorScope scope;
  bool exposed = false;
  while (!closed_ && XPending(display_) > 0) {
    XEvent e;
    XNextEvent(display_, &e);
    switch (e.type) {
      case ClientMessage:
        if (static_cast<unsigned long>(e.xclient.data.l[0]) == deleteAtom_) closed_ = true;
        break;
      case DestroyNotify:
        if (e.xdestroywindow.window == window_) closed_ = destroyed_ = true;
        break;
      case Expose:
        if (e.xexpose.window == window_) exposed = true;
        break;
      case ButtonPress:
        if (e.xbutton.window != window_ || e.xbutton.y >= kStripHeight) break;
        if (e.xbutton.button == Button4) {
          Step(-1);
        } else if (e.xbutton.button == Button5) {
          Step(1);
        } else if (e.xbutton.button == Button1 && e.xbutton.x < kButtonWidth) {
          Step(-1);
        } else if (e.xbutton.button == Button1 && e.xbutton.x < 2 * kButtonWidth) {
          Step(1);
        }
        break;
      case KeyPress: {
        const KeySym key = XLookupKeysym(&e.xkey, 0);
        if (key == XK_Page_Up) Step(-1);
        if (key == XK_Page_Down) Step(1);
        break;
      }
      default:
        break;
    }
  }
  if (destroyed_) closed_ = true;
  if (closed_) return false;
  // The program changes from the strip, the editor's own list and MIDI program changes.
  const int32_t program = engine_.CurrentProgram();
  const std::string name = engine_.ProgramName(program);
  if (exposed || program != shownProgram_ || name != shownName_) {
    shownProgram_ = program;
    shownName_ = name;
    Draw();
  }
  return true;
}

void TProgramWindow::Draw() {
  if (destroyed_) return;
  cairo_t* cr = cairo_create(surface_);
  cairo_set_source_rgb(cr, 0.16, 0.17, 0.19);
  cairo_paint(cr);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 15.0);
  const char* arrows[] = {"<", ">"};
  for (int i = 0; i < 2; ++i) {
    const double x = i * kButtonWidth + 3.5, y = 4.5, w = kButtonWidth - 6.0, h = kStripHeight - 9.0;
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source_rgb(cr, 0.30, 0.32, 0.36);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.62, 0.64, 0.68);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, arrows[i], &extents);
    cairo_move_to(cr, x + (w - extents.x_advance) / 2.0, kStripHeight / 2.0 + 5.0);
    cairo_set_source_rgb(cr, 0.92, 0.93, 0.95);
    cairo_show_text(cr, arrows[i]);
  }
  char number[16];
  std::snprintf(number, sizeof number, "%03d  ", static_cast<int>(shownProgram_ + 1));
  const std::string text = number + shownName_;
  cairo_rectangle(cr, kTextLeft, 0, width_ - kTextLeft - 4, kStripHeight);
  cairo_clip(cr);
  cairo_move_to(cr, kTextLeft, kStripHeight / 2.0 + 5.0);
  cairo_set_source_rgb(cr, 0.92, 0.93, 0.95);
  cairo_show_text(cr, text.c_str());
  cairo_destroy(cr);
  cairo_surface_flush(surface_);
  XFlush(display_);
}

void TProgramWindow::XError(const TXErrorReport& report) {
  // Our window is gone: nothing more is drawn, and the program ends.
  if (report.resource == window_ || report.resource == holder_) destroyed_ = true;
}

void TProgramWindow::Close() {
  if (!display_) return;
  TXErrorScope scope;
  if (surface_) cairo_surface_destroy(surface_);
  surface_ = nullptr;
  if (!destroyed_) XDestroyWindow(display_, window_);
  XSync(display_, False);
  XCloseDisplay(display_);
  UnregisterXConnection(display_);
  display_ = nullptr;
}

}  // namespace tesmora6
