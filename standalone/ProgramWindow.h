// The standalone program's window: a top-level X window holding the editor, with a strip
// above it that shows the current program ("001 Init Bass") between buttons for the
// previous and the next one (also Page Up and Page Down, and the wheel over the strip).
// It runs on the main thread; the editor draws into the holder window on a connection of
// its own. Closing the window (the window manager's close button) ends the program. Every
// call on the connection runs inside a TXErrorScope (gui/XErrorTrap.h): a window destroyed
// by someone else (xkill, a session's end) ends the program with its state saved instead of
// Xlib's default handler ending the process.
#pragma once

#include <cstdint>
#include <string>

#include "gui/XErrorTrap.h"

struct _XDisplay;
typedef struct _cairo_surface cairo_surface_t;

namespace tesmora6 {

class TTesmora6Engine;

class TProgramWindow : private TXErrorSink {
 public:
  static constexpr int32_t kStripHeight = 32;

  explicit TProgramWindow(TTesmora6Engine& engine);
  ~TProgramWindow() override;
  TProgramWindow(const TProgramWindow&) = delete;
  TProgramWindow& operator=(const TProgramWindow&) = delete;

  // Opens the window on $DISPLAY for an editor of this size, titled `title`; false with the
  // reason when there is no display.
  bool Open(const std::string& title, int32_t editorWidth, int32_t editorHeight, std::string& why);
  // The window the editor opens in (its parent, as a host's window).
  unsigned long EditorParent() const { return holder_; }
  // Handles the pending events and shows the current program; false once the window was
  // closed.
  bool Idle();
  // The editor asks for another size.
  bool ResizeEditor(int32_t width, int32_t height);
  void Close();

 private:
  void Draw();
  void XError(const TXErrorReport& report) override;
  void Step(int32_t by);
  void FixSize();

  TTesmora6Engine& engine_;
  _XDisplay* display_ = nullptr;
  unsigned long window_ = 0;
  unsigned long holder_ = 0;
  unsigned long deleteAtom_ = 0;
  cairo_surface_t* surface_ = nullptr;
  int32_t width_ = 0;
  int32_t editorHeight_ = 0;
  bool closed_ = false;
  bool destroyed_ = false;  // by someone else: not to be destroyed again
  // What the strip shows, to redraw only when it changes.
  int32_t shownProgram_ = -1;
  std::string shownName_;
};

}  // namespace tesmora6
