#include "gui/XErrorTrap.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace tesmora6 {

namespace {

struct TTrapState {
  std::mutex lock;
  std::vector<std::pair<Display*, TXErrorSink*>> connections;
  XErrorHandler previous = nullptr;  // the handler before the outermost scope
  int32_t depth = 0;
};

TTrapState& State() {
  static TTrapState state;
  return state;
}

int EditorErrorHandler(Display* display, XErrorEvent* event) {
  XErrorHandler next = nullptr;
  {
    TTrapState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    for (const auto& [d, sink] : s.connections) {
      if (d != display) continue;
      sink->XError({event->error_code, event->request_code, event->resourceid});
      return 0;
    }
    next = s.previous;
  }
  // Not ours: whoever handled errors before us decides (Xlib's default ends the process,
  // as it would have without us).
  if (next && next != &EditorErrorHandler) return next(display, event);
  return 0;
}

}  // namespace

void RegisterXConnection(Display* display, TXErrorSink* sink) {
  TTrapState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.connections.emplace_back(display, sink);
}

void UnregisterXConnection(Display* display) {
  TTrapState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  std::erase_if(s.connections, [display](const auto& c) { return c.first == display; });
}

TXErrorScope::TXErrorScope() {
  TTrapState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.depth++ > 0) return;
  const XErrorHandler before = XSetErrorHandler(&EditorErrorHandler);
  // Ours may still be installed when somebody who chained to it left it there; the one
  // before it stays the next in line.
  if (before != &EditorErrorHandler) s.previous = before;
}

TXErrorScope::~TXErrorScope() {
  TTrapState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (--s.depth > 0) return;
  const XErrorHandler current = XSetErrorHandler(s.previous);
  // Somebody installed a handler while we were talking to the server: theirs stays (and
  // ours, if they chain to it, still passes foreign errors on to s.previous).
  if (current != &EditorErrorHandler) XSetErrorHandler(current);
}

}  // namespace tesmora6
